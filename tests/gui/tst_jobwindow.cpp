// The selection page and a whole job made through the window: the shell browser,
// drops from other programs, deleting, the summary, Finish and the job on disk.
#include "GuiTestHelpers.h"
#include "platform/Errors.h"

#include "app/gui/CopyProgressWindow.h"
#include "i18n/LanguageTexts.h"
#include "app/gui/LabelledEdit.h"
#include "selection/gui/DropZone.h"

#include <QComboBox>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSettings>
#include <QTreeView>
#include <QUrl>

namespace {
void typePath(GuiRun& run, const QString& path)
{
    QLineEdit* box = run.find<QComboBox>("ShellComboBox1")->lineEdit();
    box->selectAll();
    QTest::keyClicks(box, path);
    QTest::keyClick(box, Qt::Key_Return);
}

void selectInBrowser(GuiRun& run, const QStringList& names)
{
    auto* view = run.find<QTreeView>("ShellListView1");
    auto* model = static_cast<QFileSystemModel*>(view->model());
    view->clearSelection();
    for (const QString& name : names) {
        const QModelIndex index = model->index(run.browserFolder() + u'/' + name);
        QVERIFY2(index.isValid(), qPrintable(name));
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, view->visualRect(index).center());
    }
}

// Names dropped from another program on the window (or on target).
void dropOnWindow(GuiRun& run, const QStringList& paths, QWidget* target = nullptr)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    mime.setUrls(urls);
    QCOMPARE(dropOn(target ? target : run.window(), mime), 2);
}
} // namespace

class TestJobWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { verifyNoWindowLeft(); }

    void wholeJobThroughTheWindow();
    void dropsFromOtherWidgetsAndPrograms();
    void browserNavigationAndLastPath();
    void failingCopyTakesTheJobAwayAndFreesTheWindow();
    void progressWindowReportsAndCancels();
    void hiddenDialogButtons();
};

void TestJobWindow::wholeJobThroughTheWindow()
{
    const auto& [env, run] = StartedWindow();
    const QString a = env.makeFile("Sources/Report.txt", "the report\n");
    env.makeFile("Sources/Project/plan.txt", "plan");
    env.makeFile("Sources/Project/Sub/deep.bin", QByteArray(70000, 'x'));
    env.makeFile("Sources/.hidden", "h");
    const QString dropped = env.makeFile("Elsewhere/Dropped Notes.txt", "dropped");
    const QString removedLater = env.makeFile("Elsewhere/unwanted.txt", "no");
    QVERIFY(!ProgramEnd::requested());
    run->showPage(Page::Select);

    // Browse to the sources by typing the path, pick a file and a folder, add them.
    typePath(*run, env.root() + QStringLiteral("/Sources"));
    auto* view = run->find<QTreeView>("ShellListView1");
    QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 3); // hidden items are listed too
    // Folders come first once the listing is sorted; entries follow the display order.
    QTRY_COMPARE(view->model()->index(0, 0, view->rootIndex()).data().toString(), QStringLiteral("Project"));
    selectInBrowser(*run, {"Report.txt", "Project"});
    QTest::mouseClick(run->find<QPushButton>("BBadd"), Qt::LeftButton);
    const QString folderEntry = env.root() + QStringLiteral("/Sources/Project (:Folder:)");
    QCOMPARE(run->client->form.selectionTexts(), QStringList({folderEntry, a}));
    auto* clb = run->find<DropZoneList>("CLB");
    QCOMPARE(clb->count(), 2);
    QCOMPARE(clb->horizontalExtent(), QFontMetrics(clb->font()).horizontalAdvance(folderEntry + u'x'));
    const int extent = clb->horizontalExtent();

    // Other programs drop names anywhere on the window, on any page; a missing name
    // is skipped without a word.
    run->showPage(Page::Send);
    dropOnWindow(*run, {dropped, removedLater, env.root() + QStringLiteral("/nothing here")});
    QCOMPARE(clb->count(), 4);
    QCOMPARE(clb->horizontalExtent(), extent);
    QVERIFY(run->client->prompter.shown().isEmpty());

    // The Delete key removes the selected entry, the others keep their order.
    run->showPage(Page::Select);
    clb->setFocus();
    clb->clearSelection();
    clb->item(3)->setSelected(true);
    QTest::keyClick(clb, Qt::Key_Delete);
    QCOMPARE(run->client->form.selectionTexts(), QStringList({folderEntry, a, dropped}));

    // The message page (typing into it is tst_aftersubmission's and tst_mainwindow's).
    QTest::mouseClick(run->find<QPushButton>("Bnext2"), Qt::LeftButton);
    run->client->form.setRecipients({"ann@example.org", "bob@example.org"});
    run->client->form.setSubjectText(QStringLiteral("Plans"));
    run->client->form.setMessageLines({"Hello,", "the plans."});
    QTest::mouseClick(run->find<QPushButton>("Bnext3"), Qt::LeftButton);
    QCOMPARE(run->page(), Page::Send);
    QVERIFY(run->find<QPushButton>("Bnext4")->isEnabled());

    QTest::mouseClick(run->find<QPushButton>("Bsummary"), Qt::LeftButton);
    auto* log = run->find<QPlainTextEdit>("REsent");
    QCOMPARE(log->toPlainText().split(u'\n'), run->client->form.logLines());

    run->client->prompter.clearShown();
    run->client->prompter.queueAnswers({PromptAnswer::Yes});
    clickWhenShown(run->afterSubmission(), QStringLiteral("Continue"));
    QTest::mouseClick(run->find<QPushButton>("Bnext4"), Qt::LeftButton);
    const auto shown = run->client->prompter.shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].kind, PromptKind::Confirm);
    QCOMPARE(run->page(), Page::Send);
    QCOMPARE(run->client->form.logLines().last(), QStringLiteral("05 - Lock released"));

    // One complete job: no lock, the descriptor, the message and the copies, nothing else.
    QCOMPARE(env.jobs().size(), 1);
    const QString name = env.jobs().first(), job = env.upload() + u'/' + name;
    QCOMPARE(env.uploadEntries(), QStringList({name + ".dir", name + ".msg", name + ".pvx"}));
    RecordFields expected;
    expected.recipients = {"ann@example.org", "bob@example.org"};
    expected.subject = QStringLiteral("Plans");
    expected.expire = run->client->form.expireText();
    QCOMPARE(readAll(job + QStringLiteral(".pvx")), expectedRecord(expected));
    QCOMPARE(readAll(job + QStringLiteral(".msg")), QByteArray("Hello,\r\nthe plans.\r\n"));
    QCOMPARE(treeOf(job + QStringLiteral(".dir")),
             (QMap<QString, QByteArray>{{"Report.txt", "the report\n"}, {"Project", "<dir>"}, {"Project/plan.txt", "plan"},
                                        {"Project/Sub", "<dir>"}, {"Project/Sub/deep.bin", QByteArray(70000, 'x')},
                                        {"Dropped Notes.txt", "dropped"}}));
}

void TestJobWindow::dropsFromOtherWidgetsAndPrograms()
{
    const auto& [env, run] = StartedWindow();
    const QString file = env.makeFile("in/file.txt", "f");
    run->showPage(Page::Select);
    auto* clb = run->find<DropZoneList>("CLB");

    // Text dragged from somewhere else (our own message editor, say) is refused by the
    // drop zone and by the window.
    QMimeData text;
    text.setText(QStringLiteral("just some words"));
    QCOMPARE(dropOn(clb->viewport(), text), 0);
    QCOMPARE(clb->count(), 0);
    // Only the browser's list view may drag onto the drop zone itself.
    QVERIFY(clb->acceptsDragFrom(run->find<QTreeView>("ShellListView1")));
    QVERIFY(!clb->acceptsDragFrom(run->find<QPlainTextEdit>("RE")));

    // Names from another program are taken wherever they land, also over the drop zone
    // and over an edit field that would otherwise take the text.
    dropOnWindow(*run, {file}, clb->viewport());
    QCOMPARE(run->client->form.selectionTexts(), QStringList({file}));
    run->showPage(Page::Message);
    dropOnWindow(*run, {env.root() + QStringLiteral("/in")}, run->find<LabelledEdit>("LEsubject")->edit());
    QCOMPARE(run->client->form.selectionTexts(),
             QStringList({file, env.root() + QStringLiteral("/in (:Folder:)")}));
    QCOMPARE(run->find<LabelledEdit>("LEsubject")->text(), QString());

    // A device or other special file is no entry.
    dropOnWindow(*run, {QStringLiteral("/dev/null")});
    QCOMPARE(run->client->form.selection().size(), 2);

    // The pop-up's Delete and the Delete button remove the selected entries only.
    run->showPage(Page::Select);
    clb->clearSelection();
    clb->item(0)->setSelected(true);
    run->find<QAction>("Delete2")->trigger();
    QCOMPARE(run->client->form.selectionTexts(), QStringList({env.root() + QStringLiteral("/in (:Folder:)")}));
    clb->clearSelection();
    QTest::mouseClick(run->find<QPushButton>("Bdel"), Qt::LeftButton);
    QCOMPARE(clb->count(), 1);
}

void TestJobWindow::browserNavigationAndLastPath()
{
    auto [env, run] = StartedWindow();
    env.makeFile("tree/one/two/file.txt", "x");
    const QString two = env.root() + QStringLiteral("/tree/one/two");
    run->showPage(Page::Select);
#ifdef Q_OS_WIN // the profile folder, which no environment variable moves there
    QCOMPARE(run->browserFolder(), QDir::homePath());
#else
    QCOMPARE(run->browserFolder(), env.root() + QStringLiteral("/home"));
#endif
    typePath(*run, two);
    QCOMPARE(run->browserFolder(), two);
    QTest::mouseClick(run->find<QPushButton>("BitBtn1"), Qt::LeftButton);
    QCOMPARE(run->browserFolder(), env.root() + QStringLiteral("/tree/one"));
    // The path box selects its text as it takes the focus, so a typed path replaces
    // the one shown. A path that is no folder is refused with one message; the view
    // stays.
    run->client->prompter.clearShown();
    QLineEdit* box = run->find<QComboBox>("ShellComboBox1")->lineEdit();
    QTest::mouseClick(box, Qt::LeftButton);
    QTRY_COMPARE(box->selectedText(), box->text());
    const QString missing = env.root() + QStringLiteral("/tree/missing");
    QTest::keyClicks(box, missing);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(run->client->prompter.shown().size(), 1);
    QCOMPARE(run->client->prompter.shown()[0].kind, PromptKind::Error);
    QCOMPARE(run->client->prompter.shown()[0].caption, QStringLiteral("Folder not found"));
    QCOMPARE(run->client->prompter.shown()[0].text, QStringLiteral("The folder \"%1\" does not exist.").arg(missing));
    QCOMPARE(run->browserFolder(), env.root() + QStringLiteral("/tree/one"));
    typePath(*run, two);
    run->client->prompter.queueAnswers({PromptAnswer::Yes});
    QTest::mouseClick(run->find<QPushButton>("Bquit"), Qt::LeftButton);
    QVERIFY(ProgramEnd::requested());
    run.reset();
    QCOMPARE(QSettings(env.registryPath(), QSettings::IniFormat).value("PVX2007/LASTPATH").toString(), two);
    run = startProgram(env);
    QCOMPARE(run->browserFolder(), two);
    QCOMPARE(run->find<QComboBox>("ShellComboBox1")->currentText(), QDir::toNativeSeparators(two));
    // This start opens on the selection page; the list fills once the window is on
    // screen, without any page change.
    QCOMPARE(run->page(), Page::Select);
    auto* view = run->find<QTreeView>("ShellListView1");
    QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 1);
    QCOMPARE(view->model()->index(0, 0, view->rootIndex()).data().toString(), QStringLiteral("file.txt"));
}

void TestJobWindow::failingCopyTakesTheJobAwayAndFreesTheWindow()
{
    const auto& [env, run] = StartedWindow();
    const QString kept = env.makeFile("src/kept.txt", "k");
    const QString gone = env.makeFile("src/gone.txt", "g");
    MainWindow* w = run->window();
    dropOnWindow(*run, {kept, gone});
    run->client->form.setRecipients({QStringLiteral("ann@example.org")});
    run->showPage(Page::Send);
    QVERIFY(run->find<QPushButton>("Bnext4")->isEnabled());
    run->client->prompter.clearShown();
    // The file goes after the summary planned the job, while "Sending, are you sure" is asked.
    run->client->prompter.setPresenter([&](const Prompt& p) {
        if (p.kind != PromptKind::Confirm)
            return PromptAnswer::Ok;
        QFile::remove(gone);
        return PromptAnswer::Yes;
    });
    QTest::mouseClick(run->find<QPushButton>("Bnext4"), Qt::LeftButton);

    QList<Prompt> errors;
    for (const Prompt& p : run->client->prompter.shown()) {
        if (p.kind == PromptKind::Error)
            errors << p;
    }
    QCOMPARE(errors.size(), 1);
    QFile probe(gone); // for the system's own text
    QVERIFY(!probe.open(QIODevice::ReadOnly));
    QCOMPARE(errors[0].text, IoError(gone, probe.errorString()).message() +
                                 QStringLiteral("\nThe job was removed from the upload folder."));
    QVERIFY(QDir(env.upload()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    QVERIFY(run->client->form.logLines().last() != QStringLiteral("05 - Lock released"));
    QVERIFY(w->isEnabled());
    QVERIFY(!run->progressWindow()->isVisible());
    QVERIFY(!ProgramEnd::requested());
}

void TestJobWindow::progressWindowReportsAndCancels()
{
    CopyProgressWindow window;
    window.start(QString(), QStringLiteral("Cancel"));
    CopyObserver observe = window.observer();
    CopyProgress p;
    p.filesTotal = 4;
    p.bytesTotal = 4 * 1048576;
    p.filesDone = 1;
    p.bytesDone = 1048576;
    p.currentName = QStringLiteral("big.iso");
    QVERIFY(observe(p));
    QVERIFY(window.isVisible());
    QCOMPARE(window.findChild<QLabel*>("CopyFiles")->text(), QStringLiteral("Files: 1 of 4"));
    QVERIFY(window.findChild<QLabel*>("CopyCurrentName")->text().endsWith(QStringLiteral("big.iso")));
    QCOMPARE(window.findChild<QProgressBar*>("CopyBar")->value(), 250);
    // Many files and one large one: the bar counts what each file costs, not bytes alone.
    window.start(QString(), QStringLiteral("Cancel"));
    QVERIFY(observe({1, 40001, qint64(1) << 30, qint64(1) << 30, QStringLiteral("big.iso")}));
    QVERIFY(window.findChild<QProgressBar*>("CopyBar")->value() < 500);
    // The next copy speaks the user's language, with its numbers written as it writes
    // them. A share that has not answered for a while is said so, and the words go
    // once it answers again.
    QLabel* silent = window.findChild<QLabel*>("CopySilent");
    QVERIFY(silent->isHidden());
    window.start(kGerman, QStringLiteral("Abbrechen"));
    p.silentSeconds = 12;
    p.bytesDone = 1572864;
    QVERIFY(observe(p));
    QCOMPARE(window.findChild<QLabel*>("CopyFiles")->text(), QStringLiteral("Dateien: 1 von 4"));
    QCOMPARE(window.findChild<QLabel*>("CopyBytes")->text(), QStringLiteral("1,5 MB von 4,0 MB"));
    QVERIFY(silent->isVisible());
    QVERIFY2(silent->text().startsWith(QStringLiteral("Der Upload-Ordner antwortet seit 12 s nicht.")),
             qPrintable(silent->text()));
    p.silentSeconds = 0;
    QTest::qWait(50); // the window repaints at most every 40 ms
    QVERIFY(observe(p));
    QVERIFY(silent->isHidden());
    // Cancel, and the close box alike, stop the copy at its next report.
    QTest::mouseClick(window.findChild<QPushButton*>("CopyCancel"), Qt::LeftButton);
    QVERIFY(!observe(p));
    window.finish();
    QVERIFY(!window.isVisible());
    window.start(QString(), QStringLiteral("Cancel"));
    QVERIFY(observe(p));
    window.close();
    QVERIFY(window.isVisible());
    QVERIFY(!observe(p));
    window.finish();
}

// The hidden Add file and Add folder buttons add what their dialogs chose, in the
// order chosen; a cancelled dialog adds nothing, and neither does a folder that is gone
// by the time it is added. The window's dialogs are answered without being shown.
void TestJobWindow::hiddenDialogButtons()
{
    const auto& [env, run] = StartedWindow();
    const QString one = env.makeFile("pick/one.txt", "1");
    const QString two = env.makeFile("pick/two.txt", "2");
    run->showPage(Page::Select);
    auto* bfile = run->find<QPushButton>("Bfile");
    auto* bfolder = run->find<QPushButton>("Bfolder");
    QStringList files;
    QString folder;
    run->window()->pathDialogs() = {[&](QWidget*) { return files; }, [&](QWidget*) { return folder; }};

    files = {one, two};
    bfile->click();
    QCOMPARE(run->client->form.selectionTexts(), QStringList({one, two}));
    files.clear();
    bfile->click();
    QCOMPARE(run->client->form.selection().size(), 2);

    folder = env.root() + QStringLiteral("/pick");
    bfolder->click();
    QCOMPARE(run->client->form.selectionTexts().last(), env.root() + QStringLiteral("/pick (:Folder:)"));
    folder.clear();
    bfolder->click();
    folder = env.root() + QStringLiteral("/gone");
    bfolder->click();
    QCOMPARE(run->client->form.selection().size(), 3);
}

QTEST_MAIN(TestJobWindow)
#include "tst_jobwindow.moc"
