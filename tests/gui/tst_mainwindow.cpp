// The window program's start, its controls, the page moves, the language on the
// window, the options on the message page and the ways out.
#include "GuiTestHelpers.h"

#include "app/Startup.h"
#include "app/gui/LabelledEdit.h"
#include "platform/gui/SchemeColours.h"
#include "spool/JobRefusal.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QSettings>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeView>

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { verifyNoWindowLeft(); }

    void startCreatesWindowsInOrder();
    void startEndsAfterOneMessage_data();
    void startEndsAfterOneMessage();
    void firstStartOpensSettingsNextStartDoesNot();
    void quitQuestion_data();
    void quitQuestion();
    void pageMovesAndFinishRule();
    void languageOnTheWindow_data();
    void languageOnTheWindow();
    void expiryField();
    void colourSchemes();
    void aStyleSheetsColoursStay();
    void recipientsTypedAndRemoved();
    void messageEditorAndItsMemory();
};

void TestMainWindow::startCreatesWindowsInOrder()
{
    const auto& [env, run] = StartedWindow();
    QVERIFY(!ProgramEnd::requested());
    QCOMPARE(run->program->creationOrder(),
             QStringList({"MainWindow", "SettingsDialog", "AfterSubmissionDialog", "ContactsPicker", "AboutDialog"}));
    // Start-up ran while the main window was the only window.
    QCOMPARE(run->window()->windowsAtCreate(), 0);
    QVERIFY(run->window()->isVisible());
    QCOMPARE(run->window()->windowTitle(), MainWindowCaption(run->client->state));
    QCOMPARE(run->window()->minimumSize(), QSize(700, 600));
    QCOMPARE(run->window()->size(), QSize(832, 600));

    // The state the controls start in: what a user can do before touching anything.
    QVERIFY(run->find<QTextEdit>("REwelcome")->isReadOnly() && run->find<QPlainTextEdit>("REsent")->isReadOnly());
    QVERIFY(run->find<QComboBox>("ShellComboBox1")->isEditable());
    QCOMPARE(run->find<QListWidget>("CLB")->selectionMode(), QAbstractItemView::ExtendedSelection);
    for (const char* hidden : {"ShellTreeView1", "Mto", "Bfile", "Bfolder"})
        QVERIFY2(run->find<QWidget>(QLatin1String(hidden))->isHidden(), hidden);
    QVERIFY(!run->find<QPushButton>("Bnext4")->isEnabled() && !run->find<QPushButton>("Bexpapl")->isEnabled());
    // The address book is off unless the policy switches it on.
    QVERIFY(run->find<QPushButton>("Badr")->isHidden());
}

void TestMainWindow::startEndsAfterOneMessage_data()
{
    QTest::addColumn<QByteArray>("policy"); // empty: none
    QTest::addColumn<int>("kind");          // of the one box
    QTest::addColumn<QString>("message");   // how it begins
    QTest::addColumn<QByteArray>("stored"); // the settings store after, empty: none
    QTest::newRow("no policy file") << QByteArray() << int(PromptKind::Plain)
                                    << "No INI file found, contact your system administrator for help." << QByteArray();
    // A failed probe stores the policy's skip-welcome switch, by its own handler.
    QTest::newRow("placeholder upload folder") << QByteArray("[Settings]\r\nSERVERUPLOAD=<ENTER PATH HERE>\r\n")
                                               << int(PromptKind::Error) << "PVLERR:01 > "
                                               << QByteArray("[PVX2007]\nSKIPWELCOME=ENABLED\n");
}

// The program ends on its one message, and from its start to the end of its windows
// it writes nothing it was not asked to: no memory files, nothing in the upload folder
// or beside the program; the user's data folder, made before anything can end the
// start, stays (empty). Normal use never began: the Settings dialog did not open.
void TestMainWindow::startEndsAfterOneMessage()
{
    QFETCH(QByteArray, policy);
    QFETCH(int, kind);
    QFETCH(QString, message);
    QFETCH(QByteArray, stored);
    TestEnv env;
    useHome(env);
    if (!policy.isEmpty())
        env.writePolicy(policy);
    // The test's home is left out: what the toolkit keeps there is not the program's.
    auto world = [&env] {
        auto tree = treeOf(env.root());
        tree.removeIf([](const auto& entry) { return entry.key().startsWith(QLatin1String("home")); });
        return tree;
    };
    auto expected = world();
    expected.insert(QStringLiteral("appdata/Parvela"), "<dir>");
    if (!stored.isEmpty())
        expected.insert({{"config/TROVIK", "<dir>"}, {"config/TROVIK/PVX2007.ini", stored}});
    auto run = startProgram(env);
    QVERIFY(ProgramEnd::requested());
    QCOMPARE(ProgramEnd::code(), 0);
    const auto shown = run->client->prompter.shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(int(shown[0].kind), kind);
    QVERIFY2(shown[0].text.startsWith(message), qPrintable(shown[0].text));
    QVERIFY(!run->window()->isVisible());
    QTest::qWait(20);
    QVERIFY(!run->program->settingsDialog()->isVisible());
    run.reset();
    QCOMPARE(world(), expected);
}

void TestMainWindow::firstStartOpensSettingsNextStartDoesNot()
{
    auto [env, run] = StartedWindow({}, false);
    QVERIFY(run->client->state.FirstRun);
    SettingsDialog* settings = run->program->settingsDialog();
    clickWhenShown(settings, QStringLiteral("Bcancel"));
    run->program->show();
    QTRY_VERIFY(!run->client->state.FirstRun);
    QVERIFY(!settings->isVisible());
    // Quit so that the start is remembered.
    run->client->prompter.queueAnswers({PromptAnswer::Yes});
    run->find<QPushButton>("Bquit")->click();
    QVERIFY(ProgramEnd::requested());
    run.reset();
    run = startProgram(env, false);
    QVERIFY(!run->client->state.FirstRun);
    run->program->show();
    QTest::qWait(50);
    QVERIFY(!run->program->settingsDialog()->isVisible());
}

void TestMainWindow::quitQuestion_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("yes");
    for (const char* way : {"closebox", "Bprev1", "Bquit"}) {
        QTest::addRow("%s, No", way) << QString::fromLatin1(way) << false;
        QTest::addRow("%s, Yes", way) << QString::fromLatin1(way) << true;
    }
}

void TestMainWindow::quitQuestion()
{
    QFETCH(QString, way);
    QFETCH(bool, yes);
    const auto& [env, run] = StartedWindow();
    QVERIFY(!ProgramEnd::requested());
    run->showPage(way == "Bquit" ? Page::Send : Page::Welcome);
    run->find<LabelledEdit>("LEsubject")->edit()->setText(QStringLiteral("Quarterly figures"));
    const QByteArray before = readAll(env.registryPath());
    run->client->prompter.clearShown();

    run->client->prompter.queueAnswers({yes ? PromptAnswer::Yes : PromptAnswer::No});
    if (way == "closebox")
        run->window()->close();
    else
        run->find<QPushButton>(way)->click();

    const auto shown = run->client->prompter.shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].kind, PromptKind::Confirm);
    QCOMPARE(shown[0].text, QStringLiteral("Quit?"));
    if (yes) {
        QVERIFY(ProgramEnd::requested());
        QCOMPARE(ProgramEnd::code(), 0);
        QVERIFY(!run->window()->isVisible());
        QSettings saved(env.registryPath(), QSettings::IniFormat);
        QCOMPARE(saved.value("PVX2007/SUBJECT").toString(), QStringLiteral("Quarterly figures"));
    } else {
        QVERIFY(!ProgramEnd::requested());
        QVERIFY(run->window()->isVisible());
        QCOMPARE(readAll(env.registryPath()), before);
        // The Welcome page's Quit button never moves to another page.
        QCOMPARE(run->page(), way == "Bquit" ? Page::Send : Page::Welcome);
    }
}

void TestMainWindow::pageMovesAndFinishRule()
{
    const auto& [env, run] = StartedWindow("SKIPWELCOME=DISABLED\r\n");
    auto* finish = run->find<QPushButton>("Bnext4");
    run->showPage(Page::Welcome);
    const QList<QPair<QString, Page>> moves = {{"Bnext1", Page::Select},  {"Bprev2", Page::Welcome},
                                               {"Bnext1", Page::Select},  {"Bnext2", Page::Message},
                                               {"Bprev3", Page::Select},  {"Bnext2", Page::Message},
                                               {"Bnext3", Page::Send},    {"Bprev4", Page::Message}};
    for (const auto& [button, page] : moves) {
        QTest::mouseClick(run->find<QPushButton>(button), Qt::LeftButton);
        QCOMPARE(run->page(), page);
    }
    // Recipients alone do not make a job.
    run->showPage(Page::Welcome);
    run->client->form.setRecipients({QStringLiteral("ann@example.org")});
    run->showPage(Page::Send);
    QVERIFY(!finish->isEnabled());
    // With a selection as well the Send tab, clicked directly, enables Finish.
    run->showPage(Page::Welcome);
    run->client->form.setSelection({SelectionEntry::file(env.makeFile("a.txt", "a"))});
    run->showPage(Page::Send);
    QVERIFY(finish->isEnabled());
    // Removing the last entry and coming back disables it again.
    run->showPage(Page::Select);
    auto* clb = run->find<QListWidget>("CLB");
    clb->selectAll();
    QTest::mouseClick(run->find<QPushButton>("Bdel"), Qt::LeftButton);
    run->showPage(Page::Send);
    QVERIFY(!finish->isEnabled());
}

void TestMainWindow::languageOnTheWindow_data()
{
    QTest::addColumn<QByteArray>("policies");
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("quit");
    QTest::addColumn<QString>("tab");
    QTest::newRow("English, 1024") << QByteArray() << QByteArray() << "Select files and folders (Maximum size: 1024 MegaByte)"
                                   << "Quit" << "Welcome";
    QTest::newRow("English, no limit") << QByteArray() << QByteArray("MAXSIZE=-1\r\n") << "Select files and folders"
                                       << "Quit" << "Welcome";
    QTest::newRow("Dutch, 500") << QByteArray("DEFAULTLANGUAGE=NEDERLANDS\r\n") << QByteArray("MAXSIZE=500\r\n")
                                << "Selecteer bestanden en mappen (Maximum grootte:  500 MegaByte)" << "Afsluiten" << "Welkom";
}

void TestMainWindow::languageOnTheWindow()
{
    QFETCH(QByteArray, policies);
    QFETCH(QByteArray, settings);
    QFETCH(QString, heading);
    QFETCH(QString, quit);
    QFETCH(QString, tab);
    TestEnv env;
    useHome(env);
    env.writePolicy("[Settings]\r\nSERVERUPLOAD=" + env.upload().toUtf8() + "\r\n" + settings + "[POLICIES]\r\n" + policies);
    auto run = startProgram(env);
    QVERIFY(!ProgramEnd::requested());
    QCOMPARE(run->find<QLabel>("Lselectfilefolder")->text(), heading);
    QCOMPARE(run->find<QTabWidget>("PC")->tabText(int(Page::Welcome)), tab);
    // The Welcome page's left button and the Send page's Quit carry the quit text.
    QCOMPARE(run->find<QPushButton>("Bprev1")->text(), quit);
    QCOMPARE(run->find<QPushButton>("Bquit")->text(), quit);
    const LanguageTexts& t = run->client->texts;
    QCOMPARE(run->find<QLabel>("LabelDropzone")->text(), t[DropZoneLabel]);
    QCOMPARE(run->find<QCheckBox>("CBautoquit")->text(), t[AutoQuitCaption]);
    QCOMPARE(run->find<LabelledEdit>("LEexp")->toolTip(), t[ExpiryHint]);
    QCOMPARE(run->find<LabelledEdit>("LEsubject")->subLabel()->text(), t[SubjectLabel].left(10));
    // The welcome page shows its language's text (its second line is empty in every
    // language, so the first line with words after the title is what counts).
    const QStringList welcome = t.welcomeLines();
    const auto words = std::find_if(welcome.begin() + 1, welcome.end(), [](const QString& l) { return !l.trimmed().isEmpty(); });
    QVERIFY(words != welcome.end());
    QVERIFY(run->find<QTextEdit>("REwelcome")->toPlainText().contains(*words));
    // Captions the language never sets keep their own texts.
    QCOMPARE(run->find<QPushButton>("BBadd")->text(), QStringLiteral("-->>>"));
    QCOMPARE(run->find<QPushButton>("BitBtn1")->text(), QStringLiteral("<-"));
    QCOMPARE(run->find<QCheckBox>("CBsfx")->text(), QStringLiteral("SFX"));
}

void TestMainWindow::expiryField()
{
    const auto& [env, run] = StartedWindow();
    run->showPage(Page::Message);
    QLineEdit* exp = run->find<LabelledEdit>("LEexp")->edit();
    auto* apply = run->find<QPushButton>("Bexpapl");
    exp->setFocus();
    exp->clear();
    // A letter never reaches the field but makes Apply usable.
    QTest::keyClick(exp, Qt::Key_A);
    QCOMPARE(exp->text(), QString());
    QVERIFY(apply->isEnabled());
    QTest::keyClicks(exp, "00");
    QTest::keyClick(exp, Qt::Key_Return);
    QCOMPARE(exp->text(), QStringLiteral("1"));
    QVERIFY(!apply->isEnabled());
    QCOMPARE(QSettings(env.registryPath(), QSettings::IniFormat).value("PVX2007/EXPIRE").toString(), QStringLiteral("1"));
    // Six digits: the sixth is refused; Apply stores what stands.
    exp->clear();
    QTest::keyClicks(exp, "123456");
    QCOMPARE(exp->text(), QStringLiteral("12345"));
    QTest::mouseClick(apply, Qt::LeftButton);
    QVERIFY(!apply->isEnabled());
    QCOMPARE(QSettings(env.registryPath(), QSettings::IniFormat).value("PVX2007/EXPIRE").toString(), QStringLiteral("12345"));
    // An empty field cannot be stored: one error, Apply stays off.
    exp->clear();
    QTest::keyClick(exp, Qt::Key_Backspace);
    QVERIFY(apply->isEnabled());
    run->client->prompter.clearShown();
    QTest::mouseClick(apply, Qt::LeftButton);
    QCOMPARE(run->client->prompter.shown().size(), 1);
    QCOMPARE(run->client->prompter.shown()[0].text, QStringLiteral("'' is not a valid integer value"));
    QVERIFY(!apply->isEnabled());
}

void TestMainWindow::colourSchemes()
{
    const auto& [env, run] = StartedWindow("COLORSCHEME=1\r\n");
    const QPalette system = QApplication::palette();
    auto* clb = run->find<QListWidget>("CLB");
    auto* mto = run->find<QListWidget>("Mto");
    auto* subject = run->find<LabelledEdit>("LEsubject")->edit();
    QCOMPARE(run->window()->colorScheme(), 1);
    QCOMPARE(clb->palette().color(QPalette::Base), system.color(QPalette::Base));
    run->client->form.applyColorScheme(2, false); // shows as 0
    QCOMPARE(run->window()->colorScheme(), 0);
    const QColor grey = system.color(QPalette::Disabled, QPalette::Text);
    QCOMPARE(clb->palette().color(QPalette::Base), grey);
    QCOMPARE(subject->palette().color(QPalette::Base), grey);
    QCOMPARE(subject->palette().color(QPalette::Text), system.color(QPalette::WindowText));
    QCOMPARE(mto->palette().color(QPalette::Base), grey);
}

// A dark desktop's style sheet keeps its background on the controls the schemes colour,
// and the text the scheme puts on it reads at 4.5:1 or better in both schemes.
void TestMainWindow::aStyleSheetsColoursStay()
{
    qApp->setStyleSheet(QStringLiteral("QListWidget, QLineEdit, QTextEdit, QPlainTextEdit, QComboBox,"
                                       "QTreeView { background-color: #1e1e1e; }"));
    const auto restore = qScopeGuard([] { qApp->setStyleSheet(QString()); });
    const auto& [env, run] = StartedWindow();
    QList<QWidget*> controls;
    for (const char* name : {"REwelcome", "CLB", "RE", "REsent", "Mto", "ShellComboBox1", "ShellListView1"})
        controls << run->find<QWidget>(QLatin1String(name));
    for (const char* name : {"LEsubject", "LEfrom", "LEto", "LEexp"})
        controls << run->find<LabelledEdit>(QLatin1String(name))->edit();
    for (int scheme : {0, 1}) {
        run->client->form.applyColorScheme(scheme, false);
        for (QWidget* w : controls) {
            const QPalette p = w->palette();
            QCOMPARE(p.color(QPalette::Base), QColor(0x1e1e1e));
            QVERIFY2(ContrastRatio(p.color(QPalette::Text), p.color(QPalette::Base)) >= kMinTextContrast,
                     qPrintable(w->objectName()));
        }
    }
}

void TestMainWindow::recipientsTypedAndRemoved()
{
    const auto& [env, run] = StartedWindow();
    run->showPage(Page::Message);
    QLineEdit* to = run->find<LabelledEdit>("LEto")->edit();
    auto* mto = run->find<QListWidget>("Mto");
    to->setFocus();
    QTest::keyClick(to, Qt::Key_Return); // empty: nothing
    QVERIFY(run->client->form.recipients().isEmpty());
    QVERIFY(mto->isHidden());
    QTest::keyClicks(to, "ann@example.org");
    QTest::keyClick(to, Qt::Key_Return);
    QTest::keyClicks(to, "bob@example.org");
    QTest::keyClick(to, Qt::Key_Return);
    QCOMPARE(run->client->form.recipients(), QStringList({"ann@example.org", "bob@example.org"}));
    QVERIFY(mto->isVisible());
    QCOMPARE(mto->count(), 2);
    // A click into the subject field closes the list and shows the joined line.
    QTest::mouseClick(run->find<LabelledEdit>("LEsubject")->edit(), Qt::LeftButton);
    QVERIFY(mto->isHidden());
    QCOMPARE(to->text(), QStringLiteral("ann@example.org; bob@example.org; "));

    // An address still being typed is kept when a click elsewhere closes the list, and
    // leaving the field afterwards adds nothing more.
    QTest::mouseClick(to, Qt::LeftButton);
    QTest::keyClicks(to, "cy@example.org");
    QTest::mouseClick(run->find<QLabel>("lto"), Qt::LeftButton);
    QCOMPARE(run->client->form.recipients(), QStringList({"ann@example.org", "bob@example.org", "cy@example.org"}));
    QCOMPARE(to->text(), QStringLiteral("ann@example.org; bob@example.org; cy@example.org; "));
    QTest::keyClick(to, Qt::Key_Tab);
    QCOMPARE(run->client->form.recipients().size(), 3);

    // Removed from the list by the Delete key and by its menu.
    run->client->form.setRecipients({"ann@example.org", "bob@example.org", "cy@example.org", "dan@example.org"});
    QTest::mouseClick(to, Qt::LeftButton); // opens the list
    QVERIFY(mto->isVisible());
    mto->setFocus();
    mto->item(1)->setSelected(true);
    mto->item(3)->setSelected(true);
    QTest::keyClick(mto, Qt::Key_Delete);
    QCOMPARE(run->client->form.recipients(), QStringList({"ann@example.org", "cy@example.org"}));
    mto->clearSelection();
    mto->item(0)->setSelected(true);
    run->find<QAction>("Delete1")->trigger();
    QCOMPARE(run->client->form.recipients(), QStringList({"cy@example.org"}));
    mto->clearSelection();
    run->find<QAction>("Delete1")->trigger(); // nothing selected: nothing goes
    QCOMPARE(mto->count(), 1);
    mto->selectAll();
    QTest::keyClick(mto, Qt::Key_Delete);
    QVERIFY(run->client->form.recipients().isEmpty());
}

// The editor holds at most 4000 characters however the text arrives, and cutting
// never takes away what stood before the cursor.
void TestMainWindow::messageEditorAndItsMemory()
{
    TestEnv env;
    useHome(env);
    env.writeDefaultPolicy();
    env.store({{"POLICYVERSION", "-1"}, {"REMEMBEREMAIL", "ENABLED"}});
    QByteArray memory;
    for (int i = 0; i < 41; ++i)
        memory += QByteArray(99, char('a' + i % 26)) + "\r\n"; // 4100 characters in the editor
    const QString cache = env.makeFile("appdata/Parvela/pvxcache.txt", memory);
    {
        auto run = startProgram(env);
        auto* re = run->find<QPlainTextEdit>("RE");
        const QString loaded = re->toPlainText();
        QCOMPARE(loaded.size(), kMessageMaxChars);
        QVERIFY(QString::fromLatin1(memory).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).startsWith(loaded));
        QCOMPARE(run->client->form.messageLines().join(u'\n'), loaded);
        // Full: a key typed at the start changes nothing.
        re->setFocus();
        re->moveCursor(QTextCursor::Start);
        QTest::keyClick(re, Qt::Key_B);
        QTest::keyClick(re, Qt::Key_Return);
        QCOMPARE(re->toPlainText(), loaded);

        // Room for ten: pasted and dropped text go in from their beginning, up to the limit.
        re->setPlainText(QString(kMessageMaxChars - 10, u'a'));
        re->moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(QStringLiteral("0123456789abcdef"));
        QTest::keyClick(re, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(re->toPlainText(), QString(kMessageMaxChars - 10, u'a') + QStringLiteral("0123456789"));
        re->setPlainText(QString(kMessageMaxChars - 5, u'a'));
        QMimeData dropped;
        dropped.setText(QStringLiteral("VWXYZ12345"));
        dropOn(re->viewport(), dropped, re->viewport()->rect().center());
        QCOMPARE(re->toPlainText().size(), kMessageMaxChars);
        QVERIFY(re->toPlainText().contains(QStringLiteral("VWXYZ")));
        QVERIFY(!re->toPlainText().contains(u'1'));
        ProgramEnd::reset();
    }

    // A memory of one empty line keeps it: quitting writes it back as one CR LF.
    env.makeFile("appdata/Parvela/pvxcache.txt", "");
    auto run = startProgram(env);
    QCOMPARE(run->client->form.messageLines(), QStringList({QString()}));
    run->client->prompter.queueAnswers({PromptAnswer::Yes});
    run->window()->close();
    QVERIFY(ProgramEnd::requested());
    QCOMPARE(readAll(cache), QByteArray("\r\n"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
