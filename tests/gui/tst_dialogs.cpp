// The Settings dialog, the About dialog and the contacts picker, driven through the
// main window's buttons.
#include "GuiTestHelpers.h"
#include "platform/Errors.h"

#include "app/gui/LabelledEdit.h"
#include "dialogs/AboutDialog.h"
#include "recipients/gui/ContactsPicker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <functional>

namespace {
template <typename T> T* child(QWidget* parent, const char* name)
{
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

QLineEdit* edit(QWidget* dialog, const char* name)
{
    return child<QLineEdit>(dialog, (QByteArray(name) + "Edit").constData());
}

void retype(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// A label's text without the zero-width spaces that let long paths wrap.
QString shownText(QWidget* dialog, const char* name)
{
    return child<QLabel>(dialog, name)->text().remove(QChar(0x200B));
}

QByteArray vcard(const QByteArray& name, const QByteArray& email)
{
    QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + name + "\r\n";
    if (!email.isEmpty())
        card += "EMAIL:" + email + "\r\n";
    return card + "END:VCARD\r\n";
}
} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { verifyNoWindowLeft(); }

    void settingsFilledThenApplied();
    void settingsCloseBoxAndCancel();
    void settingsByKeyboardFromTheFirstStart();
    void aboutShowsThisRun();
    void pickerAddsTheChosenAddresses();
    void pickerWithEmptyMissingOrBrokenSource();
};

void TestDialogs::settingsFilledThenApplied()
{
    const auto& [env, run] = StartedWindow("ENCRYPTED=ENABLED,LOCKED\r\n");
    SettingsDialog* dialog = run->program->settingsDialog();
    QString title, language;
    QStringList colours;
    QPoint offCentre;
    bool encrLocked = false, encrChecked = false;
    whenShown(dialog, [&] {
        title = dialog->windowTitle();
        offCentre = dialog->frameGeometry().center() - run->window()->frameGeometry().center();
        encrLocked = !child<QCheckBox>(dialog, "CBdftenc")->isEnabled();
        encrChecked = child<QCheckBox>(dialog, "CBdftenc")->isChecked();
        language = child<QComboBox>(dialog, "CBdftlang")->currentText();
        auto* colourList = child<QComboBox>(dialog, "CBcolor");
        for (int i = 0; i < colourList->count(); ++i)
            colours.append(colourList->itemText(i));
        QTest::mouseClick(child<QCheckBox>(dialog, "CBdftenc"), Qt::LeftButton); // locked: no change
        retype(edit(dialog, "LEname"), QStringLiteral("Ann Example"));
        retype(edit(dialog, "LEcompany"), QStringLiteral("Example Ltd"));
        retype(edit(dialog, "LEemail"), QStringLiteral("ann@example.org"));
        colourList->setCurrentIndex(1);
        QTest::mouseClick(child<QPushButton>(dialog, "Bok"), Qt::LeftButton);
    });
    QTest::mouseClick(run->find<QPushButton>("Bsettings"), Qt::LeftButton);

    QCOMPARE(title, QStringLiteral("Trovik Parvela Client 2007 - R1.2.6 - Settings"));
    QCOMPARE(dialog->size(), QSize(462, 434));
    QCOMPARE(offCentre, QPoint(0, 0)); // centred on the main window
    QVERIFY(encrLocked);
    QVERIFY(encrChecked);
    QCOMPARE(language, QStringLiteral("English"));
    QCOMPARE(colours, QStringList({"Default (R111)", "White"}));
    QVERIFY(run->window()->isEnabled());
    QCOMPARE(run->window()->colorScheme(), 1);
    QCOMPARE(run->find<LabelledEdit>("LEfrom")->text(), QStringLiteral("ann@example.org"));
    QVERIFY(run->find<QCheckBox>("CBencr")->isChecked());
    QVERIFY(!run->find<QCheckBox>("CBencr")->isEnabled());
    QCOMPARE(run->client->state.SenderCompany, QStringLiteral("Example Ltd"));
}

void TestDialogs::settingsCloseBoxAndCancel()
{
    const auto& [env, run] = StartedWindow({}, false);
    QVERIFY(run->client->state.FirstRun);
    SettingsDialog* dialog = run->program->settingsDialog();
    const ClientState& state = run->client->state;

    // The first opening, closed with the close box: applied as OK would.
    whenShown(dialog, [&] {
        retype(edit(dialog, "LEname"), QStringLiteral("Ann"));
        child<QComboBox>(dialog, "CBdftlang")->setCurrentIndex(2); // Français
        dialog->close();
    });
    run->program->show();
    QTRY_VERIFY(!state.FirstRun);
    QCOMPARE(state.SenderName, QStringLiteral("Ann"));
    QCOMPARE(state.LanguageName, kFrench);
    QCOMPARE(run->find<QPushButton>("Bsettings")->text(), QStringLiteral("Param\u00E8tres"));

    // Cancel: nothing changes and nothing is written.
    const QByteArray stored = readAll(env.registryPath());
    QString title, nameLabel;
    whenShown(dialog, [&] {
        title = dialog->windowTitle();
        nameLabel = child<QLabel>(dialog, "LEnameSubLabel")->text();
        retype(edit(dialog, "LEname"), QStringLiteral("Bob"));
        child<QComboBox>(dialog, "CBdftlang")->setCurrentIndex(1);
        child<QComboBox>(dialog, "CBcolor")->setCurrentIndex(1);
        QTest::mouseClick(child<QCheckBox>(dialog, "CBremto"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "Bcancel"), Qt::LeftButton);
    });
    QTest::mouseClick(run->find<QPushButton>("Bsettings"), Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("Trovik Parvela Client 2007 - R1.2.6 - Param\u00E8tres"));
    QCOMPARE(nameLabel, QStringLiteral("Votre nom:"));
    QCOMPARE(state.SenderName, QStringLiteral("Ann"));
    QCOMPARE(state.LanguageName, kFrench);
    QCOMPARE(state.ColorScheme, quint8(0));
    QVERIFY(state.RememberTo);
    QCOMPARE(readAll(env.registryPath()), stored);

    // After a Cancel the close box cancels too: the answer stays what it was.
    whenShown(dialog, [&] {
        retype(edit(dialog, "LEname"), QStringLiteral("Cy"));
        dialog->close();
    });
    QTest::mouseClick(run->find<QPushButton>("Bsettings"), Qt::LeftButton);
    QCOMPARE(state.SenderName, QStringLiteral("Ann"));
    QCOMPARE(readAll(env.registryPath()), stored);
}

// A new user types their name at once and presses Enter; Enter presses the button that
// has the focus, and Escape is Cancel.
void TestDialogs::settingsByKeyboardFromTheFirstStart()
{
    const auto& [env, run] = StartedWindow({}, false);
    QVERIFY(run->client->state.FirstRun);
    SettingsDialog* dialog = run->program->settingsDialog();
    const ClientState& state = run->client->state;
    QString focused;
    bool closedByEnter = false;
    whenShown(dialog, [&] {
        QWidget* typing = dialog->focusWidget();
        focused = typing ? typing->objectName() : QString();
        if (typing) {
            QTest::keyClicks(typing, QStringLiteral("Ann Example"));
            QTest::keyClick(typing, Qt::Key_Return);
        }
        closedByEnter = !dialog->isVisible();
        if (!closedByEnter)
            child<QPushButton>(dialog, "Bcancel")->click();
    });
    run->program->show();
    QTRY_VERIFY(!state.FirstRun);
    QCOMPARE(focused, QStringLiteral("LEnameEdit"));
    QVERIFY(closedByEnter);
    QCOMPARE(state.SenderName, QStringLiteral("Ann Example"));

    // Each later opening: type a name, then one key, which must close the dialog.
    auto openAndPress = [&](const char* button, Qt::Key key) {
        bool closed = false;
        whenShown(dialog, [&, button, key] {
            retype(edit(dialog, "LEname"), QStringLiteral("Bob"));
            QWidget* target = button ? static_cast<QWidget*>(child<QPushButton>(dialog, button)) : edit(dialog, "LEname");
            target->setFocus();
            QTest::keyClick(target, key);
            closed = !dialog->isVisible();
            if (!closed)
                child<QPushButton>(dialog, "Bcancel")->click();
        });
        QTest::mouseClick(run->find<QPushButton>("Bsettings"), Qt::LeftButton);
        return closed;
    };
    QVERIFY(openAndPress(nullptr, Qt::Key_Escape));
    QCOMPARE(state.SenderName, QStringLiteral("Ann Example"));
    QVERIFY(openAndPress("Bcancel", Qt::Key_Return));
    QCOMPARE(state.SenderName, QStringLiteral("Ann Example"));
    QVERIFY(openAndPress("Bok", Qt::Key_Return));
    QCOMPARE(state.SenderName, QStringLiteral("Bob"));
}

void TestDialogs::aboutShowsThisRun()
{
    const auto& [env, run] = StartedWindow(); // no POLICYVERSION, no MAXSIZE
    AboutDialog* about = run->program->aboutDialog();
    QTest::mouseClick(run->find<QPushButton>("Babout"), Qt::LeftButton);
    QVERIFY(about->isVisible());
    QVERIFY(run->window()->isEnabled()); // not modal
    QCOMPARE(about->size(), QSize(512, 424));
    QCOMPARE(about->windowTitle(), QStringLiteral("Parvela Client About"));
    QCOMPARE(shownText(about, "Lappver"), QStringLiteral("Trovik Parvela Client 2007 - R1.2.6"));
    QCOMPARE(shownText(about, "Lexefile"), env.programPath());
    QCOMPARE(shownText(about, "Linifile"), env.policyPath());
    QCOMPARE(shownText(about, "Luploadpath"), env.upload() + u'/');
    QCOMPARE(shownText(about, "Lpolver"), QStringLiteral("-1"));
    QCOMPARE(shownText(about, "Lmaxsize"), QStringLiteral("1024"));
    // The logo is built into the program and drawn.
    const QImage logo = child<QLabel>(about, "Image1")->pixmap().toImage();
    QCOMPARE(logo.deviceIndependentSize().toSize(), QSize(200, 150));
    QVERIFY(qAlpha(logo.pixel(logo.width() / 2, logo.height() / 2)) == 255);

    // Opened again while open: the values of the moment, still one dialog.
    run->client->state.MaxSize = QStringLiteral("500");
    QTest::mouseClick(run->find<QPushButton>("Babout"), Qt::LeftButton);
    QCOMPARE(shownText(about, "Lmaxsize"), QStringLiteral("500"));
    QTest::mouseClick(child<QPushButton>(about, "Bok"), Qt::LeftButton);
    QVERIFY(!about->isVisible());
}

void TestDialogs::pickerAddsTheChosenAddresses()
{
    const auto& [env, run] = StartedWindow("OUTLOOKADR=ENABLED\r\n");
    env.makeFile("appdata/Parvela/contacts.vcf",
                 vcard("Ann Alpha", "ann@example.org") + vcard("Bob <Sales>", "") + vcard("Cy Gamma", "cy@example.org"));
    run->showPage(Page::Message);
    ContactsPicker* picker = run->program->contactsPicker();
    auto* source = child<QListWidget>(picker, "adrsrc");
    auto* chosen = child<QListWidget>(picker, "adrdst");
    // The lists take the colour scheme (0: grey) only when the picker opens.
    const QColor grey = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    QVERIFY(source->palette().color(QPalette::Base) != grey);

    QString caption, heading, toHeading;
    QStringList listed, afterMoves, leftAfterMoves;
    bool windowDisabled = false;
    whenShown(picker, [&] {
        windowDisabled = !run->window()->isEnabled();
        caption = picker->windowTitle();
        heading = child<QLabel>(picker, "Label1")->text();
        toHeading = child<QLabel>(picker, "Label2")->text();
        listed = itemTexts(source);
        source->item(0)->setSelected(true);
        source->item(1)->setSelected(true);
        QTest::mouseClick(child<QPushButton>(picker, "Bone"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(picker, "Ball"), Qt::LeftButton);
        chosen->item(0)->setSelected(true);
        QTest::mouseClick(child<QPushButton>(picker, "Boneback"), Qt::LeftButton);
        afterMoves = itemTexts(chosen);
        leftAfterMoves = itemTexts(source);
        QTest::mouseClick(child<QPushButton>(picker, "Bok"), Qt::LeftButton);
    });
    QTest::mouseClick(run->find<QPushButton>("Badr"), Qt::LeftButton);
    QVERIFY(windowDisabled);
    QVERIFY(run->window()->isEnabled());
    QCOMPARE(picker->size(), QSize(722, 469));
    QCOMPARE(caption, QStringLiteral("Trovik Parvela Client 2007 - R1.2.6 - Addressbook (Outlook)"));
    QCOMPARE(heading, QStringLiteral("Addressbook (Outlook)"));
    QCOMPARE(toHeading, QStringLiteral("TO:"));
    QCOMPARE(listed, QStringList({"Ann Alpha <ann@example.org>", "Bob <Sales> <>", "Cy Gamma <cy@example.org>"}));
    QCOMPARE(source->palette().color(QPalette::Base), grey);
    QCOMPARE(chosen->palette().color(QPalette::Base), grey);
    QCOMPARE(afterMoves, QStringList({"Bob <Sales> <>", "Cy Gamma <cy@example.org>"}));
    QCOMPARE(leftAfterMoves, QStringList({"Ann Alpha <ann@example.org>"}));
    // Bob has no address (his name's brackets are no address either): only Cy is added.
    QCOMPARE(run->client->form.recipients(), QStringList({"cy@example.org"}));
    QCOMPARE(run->find<LabelledEdit>("LEto")->text(), QStringLiteral("cy@example.org; "));
    QVERIFY(run->client->prompter.shown().isEmpty());

    // Cancel, and the close box, after moving everything across: nothing is added, and
    // the next opening lists every contact on the left again.
    for (const bool closeBox : {false, true}) {
        QStringList reopened;
        whenShown(picker, [&] {
            reopened = itemTexts(source) + itemTexts(chosen);
            QTest::mouseClick(child<QPushButton>(picker, "Ball"), Qt::LeftButton);
            if (closeBox)
                picker->close();
            else
                QTest::mouseClick(child<QPushButton>(picker, "Bcancel"), Qt::LeftButton);
        });
        QTest::mouseClick(run->find<QPushButton>("Badr"), Qt::LeftButton);
        QCOMPARE(reopened, listed);
        QCOMPARE(run->client->form.recipients(), QStringList({"cy@example.org"}));
    }

    // The search box shows the contacts holding its text in any letter case; a selected
    // one it hides stays where it is, and >>> moves only those shown.
    env.makeFile("appdata/Parvela/contacts.vcf", vcard("Ann Alpha", "ann@example.org") + vcard("Bob", "bo@example.org") +
                                                     vcard("Cy Gamma", "joann@example.org"));
    const auto visible = [source] {
        QStringList texts;
        for (int i = 0; i < source->count(); ++i)
            if (!source->item(i)->isHidden())
                texts << source->item(i)->text();
        return texts;
    };
    QStringList shown, moved, back;
    whenShown(picker, [&] {
        source->item(1)->setSelected(true);
        QTest::keyClicks(child<QLineEdit>(picker, "LEadrSearch"), "ANN");
        shown = visible();
        QTest::mouseClick(child<QPushButton>(picker, "Bone"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(picker, "Ball"), Qt::LeftButton);
        moved = itemTexts(chosen);
        // Back again under another search: only what it finds shows.
        child<QLineEdit>(picker, "LEadrSearch")->setText(QStringLiteral("gamma"));
        QTest::mouseClick(child<QPushButton>(picker, "Ballback"), Qt::LeftButton);
        back = visible();
        QTest::mouseClick(child<QPushButton>(picker, "Bcancel"), Qt::LeftButton);
    });
    QTest::mouseClick(run->find<QPushButton>("Badr"), Qt::LeftButton);
    QCOMPARE(shown, QStringList({"Ann Alpha <ann@example.org>", "Cy Gamma <joann@example.org>"}));
    QCOMPARE(moved, shown);
    QCOMPARE(back, QStringList({"Cy Gamma <joann@example.org>"}));
}

void TestDialogs::pickerWithEmptyMissingOrBrokenSource()
{
    const auto& [env, run] = StartedWindow("OUTLOOKADR=ENABLED\r\n");
    run->showPage(Page::Message);
    ContactsPicker* picker = run->program->contactsPicker();
    const QString path = env.userDataFolder() + QStringLiteral("contacts.vcf");
    const Prompter& prompter = run->client->prompter;

    // Each opening: what the picker listed and how many boxes had been shown by then;
    // OK at once.
    auto open = [&](QStringList* listed, qsizetype* boxesBefore) {
        whenShown(picker, [&, listed, boxesBefore] {
            *listed = itemTexts(child<QListWidget>(picker, "adrsrc"));
            *boxesBefore = prompter.shown().size();
            QTest::mouseClick(child<QPushButton>(picker, "Ball"), Qt::LeftButton);
            QTest::mouseClick(child<QPushButton>(picker, "Bok"), Qt::LeftButton);
        });
        QTest::mouseClick(run->find<QPushButton>("Badr"), Qt::LeftButton);
    };
    QStringList listed;
    qsizetype boxes = -1;

    env.makeFile("appdata/Parvela/contacts.vcf", "");
    open(&listed, &boxes);
    QVERIFY(listed.isEmpty());
    QCOMPARE(boxes, 0);

    QFile::remove(path);
    open(&listed, &boxes);
    QVERIFY(listed.isEmpty());
    QCOMPARE(boxes, 1); // the box comes before the picker
    QCOMPARE(prompter.shown().last().kind, PromptKind::Error);
    QFile probe(path); // for the system's own text
    QVERIFY(!probe.open(QIODevice::ReadOnly));
    QCOMPARE(prompter.shown().last().text, IoError(path, probe.errorString()).message());

    // An address over the bound is skipped and said; the card and the ones after it stay.
    env.makeFile("appdata/Parvela/contacts.vcf", vcard("Ann", "ann@example.org") + "BEGIN:VCARD\r\nFN:Bob\r\nEMAIL:" +
                                                     QByteArray(70000, 'x') + "\r\nEMAIL:bob@example.org\r\n"
                                                     "END:VCARD\r\n" + vcard("Cy", "cy@example.org"));
    open(&listed, &boxes);
    QCOMPARE(listed, QStringList({"Ann <ann@example.org>", "Bob <bob@example.org>", "Cy <cy@example.org>"}));
    QCOMPARE(boxes, 2);
    QCOMPARE(prompter.shown().size(), 2);
    QCOMPARE(prompter.shown().last().text,
             path + ", line 8: the EMAIL property is longer than 64 KiB and was skipped.");
}


QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
