// What every user can read: each window's texts whole in every language at the design
// face and at a large one, every control named for assistive tools, and the colour
// schemes' texts in contrast with their backgrounds on light and dark desktops.
#include "GuiTestHelpers.h"

#include "app/gui/CopyProgressWindow.h"
#include "i18n/Languages.h"
#include "platform/gui/FontUnits.h"
#include "platform/gui/SchemeColours.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QProxyStyle>
#include <QTabBar>

namespace {
// What is wrong in window: a text or a tab cut off (by its box or its panel's edge) or
// under another, or a control (lists and text boxes are scroll areas) that a screen
// reader cannot name: "<-" is no name.
QStringList unreadable(QWidget* window)
{
    QStringList wrong;
    QHash<QWidget*, QSize> needs; // the room each shown text needs
    const auto widgets = window->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->isVisible() || w->window() != window || qobject_cast<QHeaderView*>(w))
            continue;
        const QFontMetrics fm = w->fontMetrics();
        if (auto* b = qobject_cast<QPushButton*>(w))
            needs[w] = {fm.horizontalAdvance(b->text()) + 6, fm.height() + 4};
        else if (auto* l = qobject_cast<QLabel*>(w); l && l->pixmap().isNull())
            needs[w] = l->wordWrap() ? QSize(0, l->heightForWidth(l->width())) : l->sizeHint();
        else if (qobject_cast<QCheckBox*>(w))
            needs[w] = w->sizeHint();
        else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w))
            needs[w] = {0, fm.height() + 4};
        else if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                if (!tabs->rect().contains(tabs->tabRect(i)) || tabs->tabRect(i).width() <= fm.horizontalAdvance(tabs->tabText(i)))
                    wrong << tabs->tabText(i) + QStringLiteral(" tab cut off");
        const QString name = window->objectName() + u' ' + w->objectName() + u' ' + w->metaObject()->className();
        if (needs.contains(w) && (!QRect(QPoint(), w->size()).contains(QRect(QPoint(), needs[w]))
                                  || !w->parentWidget()->rect().contains(w->geometry())))
            wrong << name + QStringLiteral(" cut off");
        const QString said = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        if ((qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)
             || qobject_cast<QAbstractScrollArea*>(w) || qobject_cast<QProgressBar*>(w))
            && std::none_of(said.begin(), said.end(), [](QChar c) { return c.isLetter(); }))
            wrong << name + QStringLiteral(" unnamed");
    }
    // Apart from each other wherever they stand: a field inside its labelled box, too.
    const auto inWindow = [window](QWidget* w) { return QRect(w->mapTo(window, QPoint()), w->size()); };
    for (auto a = needs.cbegin(); a != needs.cend(); ++a)
        for (auto b = std::next(a); b != needs.cend(); ++b)
            if (!a.key()->isAncestorOf(b.key()) && !b.key()->isAncestorOf(a.key())
                && inWindow(a.key()).intersects(inWindow(b.key())))
                wrong << a.key()->objectName() + QStringLiteral(" overlaps ") + b.key()->objectName();
    return wrong;
}

// Opens a window the way the user does, looks at it, closes it with its button close.
QStringList unreadableWhenOpen(const std::function<void()>& open, const QString& name, const char* close)
{
    QWidget* window = topLevelWindow(name);
    QStringList wrong{name + QStringLiteral(" did not open")};
    whenShown(window, [&] {
        QTest::qWait(20);
        wrong = unreadable(window);
        window->findChild<QPushButton*>(QLatin1String(close))->click();
    });
    open();
    if (!QTest::qWaitFor([window] { return !window->isVisible(); }))
        wrong << name + QStringLiteral(" did not close");
    return wrong;
}

// A desktop's colours as a style brings them (Adwaita's do): none marked as the
// program's own. WindowText, Text, ButtonText, Base, Button; its grey text.
class DesktopStyle : public QProxyStyle {
public:
    explicit DesktopStyle(const QStringList& colours) : QProxyStyle(QStringLiteral("Fusion")), m_colours(colours) {}
    void polish(QPalette& p) override
    {
        const QPalette::ColorRole roles[] = {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::Base,
                                             QPalette::Button};
        for (int i = 0; i < 5; ++i)
            p.setColor(roles[i], QColor(m_colours[i]));
        p.setColor(QPalette::Disabled, QPalette::Text, QColor(m_colours[5]));
    }
    using QProxyStyle::polish;

private:
    QStringList m_colours;
};
} // namespace

class TestReadability : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { verifyNoWindowLeft(); }
    void everyWindowReadable_data();
    void everyWindowReadable();
    void schemeTextsContrast_data();
    void schemeTextsContrast();
};

void TestReadability::everyWindowReadable_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("points");
    for (const LanguageRecord& record : AllLanguages())
        for (int points : {8, 16})
            QTest::addRow("%s %d pt", qPrintable(record.listName.toString()), points) << record.key << points;
}

void TestReadability::everyWindowReadable()
{
    QFETCH(QString, language);
    QFETCH(int, points);
    const auto& [env, run] = StartedWindow("OUTLOOKADR=ENABLED\r\n");
    MainWindow* main = run->window();
    run->client->state.LanguageName = language;
    main->ApplyLanguage();
    // The desktop's face arrives once the program runs, as a platform theme sets it.
    QFont face = QApplication::font();
    face.setPointSize(points);
    QApplication::setFont(face);
    QTest::qWait(20);
    main->resize(FontUnits::of(main).size(700, 600)); // the narrowest, on a screen big enough
    QStringList wrong;
    for (Page page : kPages) {
        run->showPage(page);
        QTest::qWait(20);
        wrong += unreadable(main);
    }
    auto click = [&run](const char* button) { return [&run, button] { run->find<QPushButton>(button)->click(); }; };
    wrong += unreadableWhenOpen([main] { main->RunSettingsDialog(); }, QStringLiteral("SettingsDialog"), "Bcancel");
    wrong += unreadableWhenOpen(click("Badr"), QStringLiteral("ContactsPicker"), "Bcancel");
    wrong += unreadableWhenOpen(click("Babout"), QStringLiteral("AboutDialog"), "Bok");
    click("BsentJobs")(); // the window is made as it first opens
    wrong += unreadableWhenOpen([] {}, QStringLiteral("SentJobsWindow"), "BsentClose");
    AfterSubmissionDialog* post = run->afterSubmission();
    post->prepare(run->client->texts);
    wrong += unreadableWhenOpen([&] { post->showOver(main); }, QStringLiteral("AfterSubmissionDialog"), "Continue");
    auto* copy = static_cast<CopyProgressWindow*>(run->progressWindow());
    copy->start(language, run->client->texts[CancelCaption]);
    copy->report({});
    wrong += unreadable(copy);
    copy->finish();
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
}

void TestReadability::schemeTextsContrast_data()
{
    QTest::addColumn<QStringList>("colours");
    QTest::addColumn<int>("scheme");
    for (int scheme : {0, 1}) {
        QTest::addRow("light %d", scheme) << QStringList{"#000", "#000", "#000", "#fff", "#efefef", "#bebebe"} << scheme;
        QTest::addRow("Fusion dark %d", scheme) << QStringList{"#fff", "#fff", "#fff", "#3d3d3d", "#424245", "#808080"} << scheme;
        QTest::addRow("Adwaita dark %d", scheme) << QStringList{"#eeeeec", "#eeeeec", "#eeeeec", "#2d2d2d", "#373737", "#919190"} << scheme;
    }
}

// Every text on its background in the main window and the address book: the controls'
// own, and column headers as the styles paint them (Fusion: button text on the button;
// Adwaita: window text on the list's background).
void TestReadability::schemeTextsContrast()
{
    QFETCH(QStringList, colours);
    QFETCH(int, scheme);
    QApplication::setStyle(new DesktopStyle(colours));
    const auto& [env, run] = StartedWindow();
    run->client->form.applyColorScheme(scheme, true);
    double least = 21;
    const QWidgetList widgets = run->window()->findChildren<QWidget*>() + topLevelWindow(QStringLiteral("ContactsPicker"))->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        using Roles = QList<std::pair<QPalette::ColorRole, QPalette::ColorRole>>;
        const Roles pairs = qobject_cast<QHeaderView*>(w) ? Roles{{QPalette::WindowText, QPalette::Base}, {QPalette::ButtonText, QPalette::Button}}
                                                          : Roles{{QPalette::Text, QPalette::Base}};
        for (auto group : {QPalette::Active, QPalette::Inactive})
            for (const auto& [text, background] : pairs)
                least = std::min(least, ContrastRatio(w->palette().color(group, text), w->palette().color(group, background)));
    }
    QApplication::setStyle(QStringLiteral("Fusion"));
    qInfo("least contrast %.2f", least);
    QVERIFY2(least >= kMinTextContrast, qPrintable(QString::number(least)));
}

QTEST_MAIN(TestReadability)
#include "tst_readability.moc"
