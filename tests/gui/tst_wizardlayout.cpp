// Where the wizard's controls stand at the window's sizes, and the language put on the
// window again and again.
#include "GuiTestHelpers.h"

#include "app/gui/LabelledEdit.h"
#include "i18n/Languages.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTextEdit>
#include <QTreeView>

namespace {
void resizeTo(GuiRun& run, int width)
{
    run.window()->resize(width, 600);
    QTRY_COMPARE(run.window()->size(), QSize(width, 600));
}

void useLanguage(GuiRun& run, const QString& language)
{
    run.client->state.LanguageName = language;
    run.window()->ApplyLanguage();
}

QRect inPanel(const QWidget* w, const QWidget* panel) { return QRect(w->mapTo(panel, QPoint(0, 0)), w->size()); }
} // namespace

class TestWizardLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { verifyNoWindowLeft(); }

    void placements_data();
    void placements();
    void languageAppliedAgainLeavesNoOldText();
};

void TestWizardLayout::placements_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("addressBook");
    QTest::addColumn<int>("slotA");
    QTest::addColumn<int>("slotB");
    QTest::addColumn<int>("slotC");
    QTest::newRow("700, English") << 700 << kEnglish << false << 542 << 414 << 278;
    QTest::newRow("700, German, address book") << 700 << kGerman << true << 542 << 414 << 278;
    QTest::newRow("832, English, address book") << 832 << kEnglish << true << 674 << 546 << 410;
    QTest::newRow("832, German") << 832 << kGerman << false << 674 << 546 << 410;
}

void TestWizardLayout::placements()
{
    QFETCH(int, width);
    QFETCH(QString, language);
    QFETCH(bool, addressBook);
    QFETCH(int, slotA);
    QFETCH(int, slotB);
    QFETCH(int, slotC);
    const auto& [env, run] = StartedWindow(addressBook ? "OUTLOOKADR=ENABLED\r\n" : "");
    resizeTo(*run, 760);
    useLanguage(*run, language);
    resizeTo(*run, width);

    const std::pair<const char*, int> buttons[] = {
        {"Bnext1", slotA}, {"Bprev1", slotB}, {"Bsettings", slotC}, {"Bnext2", slotA}, {"Bprev2", slotB},
        {"Bdel", slotC},   {"Bnext3", slotA}, {"Bprev3", slotB},    {"Bnext4", slotA}, {"Bprev4", slotB},
        {"Bquit", slotC},  {"Bsummary", 10}};
    for (const auto& [name, left] : buttons)
        QCOMPARE(run->find<QPushButton>(QLatin1String(name))->geometry(), QRect(left, 8, 120, 25));
    QCOMPARE(run->find<QCheckBox>("CBautoquit")->pos(), QPoint(slotC - 120, 12));
    QCOMPARE(run->find<QPushButton>("Babout")->mapTo(run->window(), QPoint()), QPoint(width - 80, 6));
    QCOMPARE(run->find<QCheckBox>("CBskipw")->x(), 10);
    QCOMPARE(run->find<QCheckBox>("CBencr")->pos(), QPoint(10, 8));
    QCOMPARE(run->find<QCheckBox>("CBsfx")->pos(), QPoint(112, 8));
    auto* panel4 = run->find<QWidget>("Panel4");
    QCOMPARE(inPanel(run->find<LabelledEdit>("LEexp")->edit(), panel4), QRect(280, 8, 46, 21));
    QCOMPARE(run->find<QPushButton>("Bexpapl")->geometry(), QRect(330, 6, 80, 25));
    for (const char* name : {"Panel2", "Panel1", "Panel4", "Panel5"})
        QCOMPARE(run->find<QWidget>(QLatin1String(name))->height(), 41);

    // The message page's top panel: the address book takes 120 pixels of the TO field.
    auto* top = run->find<QWidget>("TopPanel");
    QCOMPARE(top->height(), 121);
    QCOMPARE(inPanel(run->find<LabelledEdit>("LEfrom")->edit(), top), QRect(92, 16, width - 131, 21));
    QCOMPARE(inPanel(run->find<LabelledEdit>("LEsubject")->edit(), top), QRect(92, 76, width - 131, 21));
    const int toWidth = addressBook ? width - 251 : width - 131;
    QCOMPARE(inPanel(run->find<LabelledEdit>("LEto")->edit(), top), QRect(92, 48, toWidth, 21));
    auto* badr = run->find<QPushButton>("Badr");
    QCOMPARE(badr->isVisibleTo(top), addressBook);
    QCOMPARE(badr->pos(), QPoint(width - 131, 46));
    auto* lto = run->find<QLabel>("lto");
    QCOMPARE(lto->geometry().right() + 1, 88);
    QCOMPARE(lto->y(), 52);
    QCOMPARE(run->find<QListWidget>("Mto")->geometry(), QRect(94, 71, toWidth - 2, 80));

    // The path row follows the browser's list, also when the splitter moves.
    run->showPage(Page::Select);
    auto* list = run->find<QTreeView>("ShellListView1");
    auto* up = run->find<QPushButton>("BitBtn1");
    auto* path = run->find<QComboBox>("ShellComboBox1");
    auto* add = run->find<QPushButton>("BBadd");
    auto* splitter = run->find<QSplitter>("Splitter3");
    for (int browser : {0, 200, 420}) {
        if (browser > 0)
            splitter->setSizes({browser, splitter->width() - browser});
        QTRY_COMPARE(add->geometry().right() + 1, list->width());
        QCOMPARE(up->x(), 0);
        QCOMPARE(path->x(), 30);
        QCOMPARE(path->geometry().right() + 1, add->x());
        QCOMPARE(run->find<QLabel>("LabelDropzone")->mapTo(splitter, QPoint()).x(),
                 run->find<QListWidget>("CLB")->mapTo(splitter, QPoint()).x());
    }
}

namespace {
// Every text the main window shows or reads out, by control.
QStringList windowTexts(GuiRun& run)
{
    QStringList texts;
    const auto widgets = run.window()->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        QString text;
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            text = b->text();
        else if (auto* l = qobject_cast<QLabel*>(w))
            text = l->text();
        else if (auto* e = qobject_cast<QTextEdit*>(w))
            text = e->toPlainText();
        texts << w->objectName() + u'=' + text + u'|' + w->toolTip() + u'|' + w->accessibleName();
    }
    for (Page page : kPages)
        texts << run.pages()->tabText(int(page));
    const QAbstractItemModel* files = run.find<QTreeView>("ShellListView1")->model();
    for (int column = 0; column < files->columnCount(); ++column)
        texts << files->headerData(column, Qt::Horizontal).toString();
    texts.sort(); // raising a widget changes the order of its parent's children
    return texts;
}
} // namespace

void TestWizardLayout::languageAppliedAgainLeavesNoOldText()
{
    const auto& [env, run] = StartedWindow();
    resizeTo(*run, 700);
    auto* lto = run->find<QLabel>("lto");
    const QStringList english = windowTexts(*run);

    useLanguage(*run, kGerman);
    const QStringList german = windowTexts(*run);
    // Qt's own texts follow: the browser's column titles.
    QVERIFY(german.contains(QStringLiteral("Gr\u00F6\u00DFe")));
    QVERIFY(german.contains(QStringLiteral("CBencr=Verschl\u00FCsselt||")));
    QCOMPARE(lto->text(), QStringLiteral("AN:"));
    // A field is named for assistive tools after its caption, in the language (that
    // every control has a name, tst_readability checks in every language).
    QCOMPARE(QAccessible::queryAccessibleInterface(run->find<LabelledEdit>("LEto")->edit())->text(QAccessible::Name),
             QStringLiteral("AN:"));

    useLanguage(*run, kEnglish);
    QCOMPARE(windowTexts(*run), english);
    // Again German: the same texts as the first time, nothing added.
    useLanguage(*run, kGerman);
    QCOMPARE(windowTexts(*run), german);
}

QTEST_MAIN(TestWizardLayout)
#include "tst_wizardlayout.moc"
