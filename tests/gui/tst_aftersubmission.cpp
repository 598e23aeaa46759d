// After a job went out: the question Reset / Continue / Quit and what each answer
// leaves for the next job; and a whole job made with the keyboard alone.
#include "GuiTestHelpers.h"

#include "app/gui/LabelledEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTreeView>

class TestAfterSubmission : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { verifyNoWindowLeft(); }

    void answers_data();
    void answers();
    void wholeJobWithTheKeyboardAlone();
};

void TestAfterSubmission::answers_data()
{
    QTest::addColumn<QString>("answer"); // a button's name, "close box", or "auto quit" (no question)
    QTest::addColumn<bool>("quitYes");
    QTest::addColumn<bool>("rememberTo");
    QTest::addColumn<bool>("rememberMessage");
    QTest::newRow("Reset, nothing remembered") << "Reset" << false << false << false;
    QTest::newRow("Reset, both remembered") << "Reset" << false << true << true;
    QTest::newRow("Reset, the message remembered") << "Reset" << false << false << true;
    QTest::newRow("Reset, the recipients remembered") << "Reset" << false << true << false;
    QTest::newRow("Continue") << "Continue" << false << false << false;
    QTest::newRow("Quit, No") << "Quit" << false << false << false;
    QTest::newRow("close box, No") << "close box" << false << false << false;
    QTest::newRow("Quit, Yes") << "Quit" << true << false << false;
    QTest::newRow("auto quit") << "auto quit" << true << false << false;
}

void TestAfterSubmission::answers()
{
    QFETCH(QString, answer);
    QFETCH(bool, quitYes);
    QFETCH(bool, rememberTo);
    QFETCH(bool, rememberMessage);
    const auto& [env, run] = StartedWindow();
    MainWindow* w = run->window();
    ClientForm& form = run->client->form;
    run->client->state.RememberTo = rememberTo;
    run->client->state.RememberMessage = rememberMessage;
    const QStringList recipients = {"ann@example.org", "bob@example.org"};
    form.setSelection({SelectionEntry::file(env.makeFile("src/a.txt", "a"))});
    form.setRecipients(recipients);
    form.setFromText(QStringLiteral("Me"));
    form.setSubjectText(QStringLiteral("Plans"));
    form.setMessageLines({"Hello"});
    run->showPage(Page::Send);

    AfterSubmissionDialog* post = run->afterSubmission();
    bool windowDisabled = false;
    QString title;
    QSize size;
    QPoint offCentre;
    whenShown(post, [&] {
        windowDisabled = !w->isEnabled();
        title = post->windowTitle();
        size = post->size();
        offCentre = post->geometry().center() - w->geometry().center();
        if (auto* button = post->findChild<QPushButton*>(answer))
            button->click();
        else
            post->close();
    });
    const bool asksQuit = answer == QLatin1String("Quit") || answer == QLatin1String("close box");
    run->client->prompter.clearShown();
    run->client->prompter.queueAnswers({PromptAnswer::Yes});
    if (asksQuit)
        run->client->prompter.queueAnswers({quitYes ? PromptAnswer::Yes : PromptAnswer::No});
    if (answer == QLatin1String("auto quit"))
        QTest::mouseClick(run->find<QCheckBox>("CBautoquit"), Qt::LeftButton);
    QTest::mouseClick(run->find<QPushButton>("Bnext4"), Qt::LeftButton);

    QCOMPARE(descriptors(env).size(), 1);
    if (answer == QLatin1String("auto quit")) {
        // Only "Sending, are you sure" was asked; the program saved the choice and ended.
        QCOMPARE(run->client->prompter.shown().size(), 1);
        QVERIFY(ProgramEnd::requested() && ProgramEnd::code() == 0 && !w->isVisible());
        QCOMPARE(QSettings(env.registryPath(), QSettings::IniFormat).value("PVX2007/AUTOQUIT").toString(), "ENABLED");
        return;
    }
    QVERIFY(windowDisabled);
    QCOMPARE(title, QStringLiteral("Parvela job - Finished"));
    QCOMPARE(size, QSize(411, 72));
    QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(QString::number(offCentre.manhattanLength())));
    QCOMPARE(run->client->prompter.shown().last().text == QStringLiteral("Quit?"), asksQuit);
    if (quitYes) {
        QVERIFY(ProgramEnd::requested());
        return;
    }
    QVERIFY(!ProgramEnd::requested());
    QVERIFY(w->isEnabled());

    const bool reset = answer == QLatin1String("Reset");
    const bool toKept = !reset || rememberTo;
    const bool messageKept = !reset || rememberMessage;
    QCOMPARE(form.selection().isEmpty(), reset);
    QCOMPARE(form.subjectText(), toKept ? QStringLiteral("Plans") : QString());
    QCOMPARE(form.fromText(), toKept ? QStringLiteral("Me") : QString());
    // Without remembering, the next job does not go to the same people unasked.
    QCOMPARE(form.recipients(), toKept ? recipients : QStringList());
    QCOMPARE(run->find<LabelledEdit>("LEto")->text(), toKept ? QStringLiteral("ann@example.org; bob@example.org; ") : QString());
    QCOMPARE(form.messageLines(), messageKept ? QStringList({"Hello"}) : QStringList());
    QCOMPARE(run->find<QPlainTextEdit>("RE")->toPlainText(), messageKept ? QStringLiteral("Hello") : QString());

    // The next Finish: after Reset nothing is selected, so nothing goes; otherwise the
    // same project goes again as a new job, and Continue never asks to quit.
    run->client->prompter.clearShown();
    run->client->prompter.queueAnswers({PromptAnswer::Yes});
    clickWhenShown(post, QStringLiteral("Continue"));
    QTest::mouseClick(run->find<QPushButton>("Bnext4"), Qt::LeftButton);
    if (reset) {
        QCOMPARE(run->client->prompter.shown().size(), 1);
        QCOMPARE(run->client->prompter.shown()[0].text, run->client->texts[WarnNothingSelected]);
        QCOMPARE(descriptors(env).size(), 1);
    } else {
        QCOMPARE(run->client->prompter.shown().size(), 1); // only "Sending, are you sure"
        QCOMPARE(descriptors(env).size(), 2);
    }
}

// Selection, recipient, subject, message, options and Finish, with keys alone. Each
// page starts with the focus in its first field.
void TestAfterSubmission::wholeJobWithTheKeyboardAlone()
{
    const auto& [env, run] = StartedWindow("SKIPWELCOME=DISABLED\r\n");
    env.makeFile("Sources/report.txt", "the report");
    MainWindow* w = run->window();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    auto focused = [] { return QApplication::focusWidget(); };
    auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(focused(), k, m); };
    auto type = [&](const QString& text) { QTest::keyClicks(focused(), text); };

    QCOMPARE(run->page(), Page::Welcome);
    QCOMPARE(focused(), run->find<QTextEdit>("REwelcome"));
    key(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(run->page(), Page::Select);
    auto* pathBox = run->find<QComboBox>("ShellComboBox1");
    QCOMPARE(focused(), pathBox);
    pathBox->lineEdit()->selectAll();
    type(env.root() + QStringLiteral("/Sources"));
    key(Qt::Key_Return);
    auto* list = run->find<QTreeView>("ShellListView1");
    QTRY_COMPARE(list->model()->rowCount(list->rootIndex()), 1);
    key(Qt::Key_Tab); // past -->>> to the list
    key(Qt::Key_Tab);
    QCOMPARE(focused(), list);
    key(Qt::Key_Space); // chooses the file under the cursor
    key(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(focused(), run->find<QPushButton>("BBadd"));
    key(Qt::Key_Space);
    QCOMPARE(run->client->form.selectionTexts(), QStringList({env.root() + QStringLiteral("/Sources/report.txt")}));

    key(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(run->page(), Page::Message);
    QCOMPARE(focused(), run->find<LabelledEdit>("LEfrom")->edit());
    key(Qt::Key_Tab);
    QCOMPARE(focused(), run->find<LabelledEdit>("LEto")->edit());
    type(QStringLiteral("ann@example.org"));
    key(Qt::Key_Return);
    type(QStringLiteral("bob@example.org"));
    // Down goes into the recipient list, Delete removes the chosen one, Escape goes back.
    key(Qt::Key_Return);
    key(Qt::Key_Down);
    QCOMPARE(focused(), run->find<QListWidget>("Mto"));
    key(Qt::Key_Down);
    key(Qt::Key_Delete);
    key(Qt::Key_Escape);
    QCOMPARE(focused(), run->find<LabelledEdit>("LEto")->edit());
    key(Qt::Key_Tab);
    QCOMPARE(focused(), run->find<LabelledEdit>("LEsubject")->edit());
    QCOMPARE(run->find<LabelledEdit>("LEto")->text(), QStringLiteral("ann@example.org; "));
    type(QStringLiteral("Plans"));
    key(Qt::Key_Tab);
    type(QStringLiteral("Hello"));
    key(Qt::Key_Return);
    type(QStringLiteral("the plans."));
    key(Qt::Key_Tab); // out of the message, not into it
    QCOMPARE(run->client->form.messageLines(), QStringList({"Hello", "the plans."}));
    QCOMPARE(focused(), run->find<QCheckBox>("CBencr"));
    key(Qt::Key_Space);
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    QCOMPARE(focused(), run->find<LabelledEdit>("LEexp")->edit());
    key(Qt::Key_Backspace);
    key(Qt::Key_Backspace);
    type(QStringLiteral("72"));
    key(Qt::Key_Return);
    key(Qt::Key_Tab); // Apply is off again: on to Previous, Next
    key(Qt::Key_Tab);
    QCOMPARE(focused(), run->find<QPushButton>("Bnext3"));
    key(Qt::Key_Return);
    QCOMPARE(run->page(), Page::Send);
    QCOMPARE(focused(), run->find<QPlainTextEdit>("REsent"));
    for (int i = 0; i < 5; ++i)
        key(Qt::Key_Tab);
    QCOMPARE(focused(), run->find<QPushButton>("Bnext4"));

    run->client->prompter.queueAnswers({PromptAnswer::Yes});
    AfterSubmissionDialog* post = run->afterSubmission();
    bool resetHadFocus = false;
    whenShown(post, [&] {
        resetHadFocus = post->focusWidget() == post->findChild<QPushButton*>("Reset");
        QTest::keyClick(post->focusWidget(), Qt::Key_Escape); // Escape: Continue
    });
    key(Qt::Key_Return);
    QVERIFY(resetHadFocus);
    QVERIFY(!post->isVisible());
    QCOMPARE(run->client->form.selection().size(), 1);

    RecordFields expected;
    expected.recipients = {"ann@example.org"};
    expected.subject = QStringLiteral("Plans");
    expected.encrypted = QStringLiteral("DISABLED");
    expected.expire = QStringLiteral("72");
    QCOMPARE(descriptors(env), QList<QByteArray>({expectedRecord(expected)}));
    // Ctrl+Shift+Tab goes back a page.
    key(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(run->page(), Page::Message);
}

QTEST_MAIN(TestAfterSubmission)
#include "tst_aftersubmission.moc"
