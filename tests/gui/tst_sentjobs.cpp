// The Sent jobs window driven as a user drives it, with jobs from the window and from
// parvela processes at once, a server stand-in that takes them, and the desktop
// notification received on a session bus of the test's own.
#include "GuiTestHelpers.h"

#include "sent/SentStore.h"

#ifndef Q_OS_WIN
#include <QDBusConnection>
#include <QDBusMessage>
#endif
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>

namespace {

// A D-Bus daemon of the test's own, its address in DBUS_SESSION_BUS_ADDRESS before
// anything in the process asks for the session bus.
class PrivateBus {
public:
    PrivateBus()
    {
        const QString config = m_dir.path() + QStringLiteral("/bus.conf");
        QFile f(config);
        if (!f.open(QIODevice::WriteOnly))
            return;
        f.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                "<busconfig><type>session</type><listen>unix:dir=" + m_dir.path().toUtf8() + "</listen>"
                "<auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
        f.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, QStringLiteral("--print-address=1"),
                        QStringLiteral("--nofork"), QStringLiteral("--nopidfile")});
        if (m_daemon.waitForReadyRead(10000))
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
    }
    ~PrivateBus()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
    }
    const QString& address() const { return m_address; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};
PrivateBus* g_bus = nullptr;

// The desktop's notification service, as far as the program uses it.
class NotificationStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList shown; // "app name | summary | actions"
public Q_SLOTS:
    QStringList GetCapabilities() { return {"actions", "body"}; }
    uint Notify(const QString& app, uint, const QString&, const QString& summary, const QString&,
                const QStringList& actions, const QVariantMap&, int)
    {
        shown << app + QStringLiteral(" | ") + summary + QStringLiteral(" | ") + actions.join(u',');
        return uint(shown.size());
    }
};

QProcess* startSend(const TestEnv& env, const QString& subject, const QStringList& to)
{
    auto* p = new QProcess;
    p->setProgram(qEnvironmentVariable("PARVELA_BIN_DIR") + QStringLiteral("/parvela"));
    QStringList args{"send", "--policy", env.policyPath(), "--yes", "--subject", subject};
    for (const QString& recipient : to)
        args << "--to" << recipient;
    p->setArguments(args << env.makeFile("src/" + subject + ".bin", QByteArray(4 << 20, 's')));
    p->setStandardInputFile(QProcess::nullDevice());
    p->start();
    return p;
}

QString jobWithSubject(const TestEnv& env, const QString& subject)
{
    for (const SentRecord& r : SentStore(SentStore::pathIn(env.userDataFolder())).records().value_or(QList<SentRecord>()))
        if (r.subject == subject)
            return r.name;
    return {};
}


// The window of that name while it is shown.
QWidget* topLevel(const QString& name)
{
    QWidget* w = topLevelWindow(name);
    return w && w->isVisible() ? w : nullptr;
}

QString cell(QTableView* table, int row, int column)
{
    return table->model()->index(row, column).data().toString();
}

// The row showing a subject, or -1.
int rowOf(QTableView* table, const QString& subject)
{
    for (int row = 0; row < table->model()->rowCount(); ++row)
        if (cell(table, row, 2) == subject)
            return row;
    return -1;
}

QString stateOf(QTableView* table, const QString& subject)
{
    const int row = rowOf(table, subject);
    return row < 0 ? QString() : cell(table, row, 4);
}

// The Sent jobs window's table, the window opened with Ctrl+J on the main window; null
// when it did not open.
QTableView* openWithTheKey(const GuiRun& run)
{
    QTest::keyClick(run.window(), Qt::Key_J, Qt::ControlModifier);
    QWidget* sent = topLevel("SentJobsWindow");
    return sent ? sent->findChild<QTableView*>("SentJobsTable") : nullptr;
}

} // namespace

class TestSentJobs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { verifyNoWindowLeft(); }

    void jobsFromEverywhereAreListedAndFollowed();
    void germanTextsAndTheWordWhenAJobIsTaken();
    void keysFilterMenuAndLanguage();
};

// Two parvela send at once and a job through the window are all recorded; the window
// opens from the Send page, lists them newest first, follows the server taking one,
// sorts, shows a job's details, opens with Ctrl+J and keeps its size.
void TestSentJobs::jobsFromEverywhereAreListedAndFollowed()
{
    auto [env, run] = StartedWindow();
    MainWindow* w = run->window();

    std::unique_ptr<QProcess> first(startSend(env, "From a script", {"ann@example.org"}));
    std::unique_ptr<QProcess> second(startSend(env, "Another script", {"bo@example.org"}));
    ClientForm& form = run->client->form;
    form.setSelection({SelectionEntry::file(env.makeFile("src/window.txt", QByteArray(3 << 20, 'w')))});
    form.setRecipients({"cy@example.org", "dee@example.org"});
    form.setSubjectText("Through the window");
    form.setMessageLines({"Hello Cy,", "the plans."});
    run->showPage(Page::Send);
    run->client->prompter.queueAnswers({PromptAnswer::Yes});
    clickWhenShown(run->afterSubmission(), "Continue");
    QTest::mouseClick(run->find<QPushButton>("Bnext4"), Qt::LeftButton);
    for (QProcess* p : {first.get(), second.get()}) {
        // Finished already while the window's job ran, or waited for now.
        QVERIFY(p->state() == QProcess::NotRunning || p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
        QCOMPARE(p->readAllStandardError(), QByteArray());
    }
    QVERIFY(!form.logLines().join(u'\n').contains("Warning"));

    auto* button = run->find<QPushButton>("BsentJobs");
    QVERIFY(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    QWidget* sent = topLevel("SentJobsWindow");
    QVERIFY(sent);
    QCOMPARE(sent->windowTitle(), QStringLiteral("Sent jobs"));
    auto* table = sent->findChild<QTableView*>("SentJobsTable");
    QCOMPARE(table->model()->rowCount(), 3);
    for (const QString subject : {"From a script", "Another script", "Through the window"})
        QCOMPARE(stateOf(table, subject), QStringLiteral("waiting for the server"));
    for (int row = 1; row < 3; ++row)
        QVERIFY(table->model()->index(row - 1, 0).data(Qt::UserRole).toLongLong() >=
                table->model()->index(row, 0).data(Qt::UserRole).toLongLong());
    QCOMPARE(cell(table, rowOf(table, "Through the window"), 1), QStringLiteral("cy@example.org, dee@example.org"));
    QCOMPARE(cell(table, rowOf(table, "Through the window"), 3), QStringLiteral("3.0 MB"));

    // The server takes the window's job: the window sees the folder change.
    env.takeJob(jobWithSubject(env, "Through the window"));
    QTRY_VERIFY2(stateOf(table, "Through the window").startsWith("taken 20"), qPrintable(stateOf(table, "Through the window")));
    QCOMPARE(stateOf(table, "From a script"), QStringLiteral("waiting for the server"));

    // Sorted by subject at a click on its heading, the other way round at another.
    QHeaderView* header = table->horizontalHeader();
    const QPoint subjectHeading(header->sectionViewportPosition(2) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, subjectHeading);
    const QString firstOrder = cell(table, 0, 2) + u'|' + cell(table, 1, 2) + u'|' + cell(table, 2, 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, subjectHeading);
    const QString secondOrder = cell(table, 0, 2) + u'|' + cell(table, 1, 2) + u'|' + cell(table, 2, 2);
    QCOMPARE(QStringList({firstOrder, secondOrder}),
             QStringList({"Another script|From a script|Through the window", "Through the window|From a script|Another script"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, subjectHeading);

    // A double click shows the job in full.
    const QRect rect = table->visualRect(table->model()->index(2, 2));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, rect.center());
    QWidget* details = topLevel("SentJobDetails");
    QVERIFY(details);
    const QString text = details->findChild<QPlainTextEdit*>("SentJobDetailsText")->toPlainText();
    for (const QString part : {"Hello Cy,\n  the plans.", "Files copied:     1", "05 - Lock released",
                               "Recipients:       cy@example.org, dee@example.org"})
        QVERIFY2(text.contains(part), qPrintable(text));
    details->findChild<QPushButton*>("BsentDetailsClose")->click();
    QVERIFY(!details->isVisible());

    // Closed at a size and place of the user's, opened again with the key: the same,
    // also in the next run.
    sent->resize(500, 300);
    sent->move(40, 30);
    sent->findChild<QPushButton*>("BsentClose")->click();
    QVERIFY(!sent->isVisible());
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(openWithTheKey(*run), table);
    sent->close();
    run.reset();
    auto again = startProgram(env);
    QTableView* reopened = openWithTheKey(*again);
    QVERIFY(reopened);
    QCOMPARE(QRect(reopened->window()->pos(), reopened->window()->size()), QRect(40, 30, 500, 300));
}

// In German: the window's texts, and the notification when the server takes a job. A
// job taken while no notification service runs raises nothing and breaks nothing.
void TestSentJobs::germanTextsAndTheWordWhenAJobIsTaken()
{
#ifdef Q_OS_WIN
    QSKIP("the notification goes over D-Bus, which Windows has not (there it is the tray's message)");
#else
    if (!g_bus || g_bus->address().isEmpty())
        QSKIP("no dbus-daemon to run a session bus of the test's own");
    TestEnv env;
    useHome(env);
    env.writeDefaultPolicy();
    // A user of the policy version in force who speaks German.
    env.store({{"LANGUAGE", "DEUTSCH"}, {"POLICYVERSION", "-1"}, {"EXPIRE", "48"}});
    std::unique_ptr<QProcess> before(startSend(env, "Vorher", {"ann@example.org"}));
    QVERIFY(before->state() == QProcess::NotRunning || before->waitForFinished(60000));
    QVERIFY2(before->exitCode() == 0, before->readAllStandardError().constData());
    auto run = startProgram(env);
    run->showPage(Page::Send);
    QCOMPARE(run->find<QPushButton>("BsentJobs")->text(), QStringLiteral("Gesendete Auftr\u00E4ge"));
    QTableView* table = openWithTheKey(*run);
    QVERIFY(table);
    QWidget* sent = table->window();
    QStringList headings;
    for (int column = 0; column < 5; ++column)
        headings << table->model()->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(headings, (QStringList{"Zeit", "Empf\u00E4nger", "Betreff", "Gr\u00F6\u00DFe", "Zustand"}));
    QCOMPARE(stateOf(table, "Vorher"), QStringLiteral("wartet auf den Server"));

    // Nobody offers notifications yet.
    env.takeJob(jobWithSubject(env, "Vorher"));
    QTRY_VERIFY(stateOf(table, "Vorher").startsWith("abgeholt 20"));

    NotificationStandIn standIn;
    QDBusConnection bus = QDBusConnection::connectToBus(g_bus->address(), QStringLiteral("stand-in"));
    QVERIFY(bus.registerObject("/org/freedesktop/Notifications", &standIn, QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService("org.freedesktop.Notifications"));
    std::unique_ptr<QProcess> job(startSend(env, "Pl\u00E4ne", {"bo@example.org", "cy@example.org", "di@example.org"}));
    QVERIFY(job->state() == QProcess::NotRunning || job->waitForFinished(60000));
    QTRY_COMPARE(stateOf(table, "Pl\u00E4ne"), QStringLiteral("wartet auf den Server"));
    env.takeJob(jobWithSubject(env, "Pl\u00E4ne"));
    QTRY_COMPARE(standIn.shown, QStringList{"Trovik Parvela Client | Vom Server abgeholt: Pl\u00E4ne an bo@example.org (+2) | "
                                            "default,Details anzeigen"});
    QTest::qWait(500);
    QCOMPARE(standIn.shown.size(), 1);
    // A click on it shows the job, also while the filter hides it.
    sent->findChild<QLineEdit*>("LEsentFilter")->setText("Vorher");
    QDBusMessage click = QDBusMessage::createSignal("/org/freedesktop/Notifications", "org.freedesktop.Notifications",
                                                    "ActionInvoked");
    QVERIFY(bus.send(click << 1u << QStringLiteral("default")));
    QTRY_VERIFY(topLevel("SentJobDetails"));
    QCOMPARE(topLevel("SentJobDetails")->windowTitle(), "Gesendeter Auftrag - " + jobWithSubject(env, "Pl\u00E4ne"));
    for (const Prompt& p : run->client->prompter.shown())
        QVERIFY2(p.kind == PromptKind::Confirm, qPrintable(p.text));
    bus.unregisterService("org.freedesktop.Notifications");
    QDBusConnection::disconnectFromBus(QStringLiteral("stand-in"));
#endif
}

// Keys, the filter box, a job's menu and its details over the window; a language
// change reaches the open window, whose State column fits the language's states.
void TestSentJobs::keysFilterMenuAndLanguage()
{
    auto [env, run] = StartedWindow();
    QStringList names;
    {
        SentStore store(SentStore::pathIn(env.userDataFolder()));
        for (const auto& [subject, to] : {std::pair{"Plans", "ann@example.org"}, {"Photos", "bo@example.org"}}) {
            SentRecord r = sentRecord(QStringLiteral("JOB-%1").arg(names.size() + 7), env.upload() + u'/',
                                      SentOutcome::Complete, QDateTime::currentDateTimeUtc().addSecs(names.size() - 10));
            r.recipients = {to};
            r.subject = subject;
            names << r.name;
            QVERIFY(store.setEnded(store.add(r), SentOutcome::Complete, r.started, {}, {}));
        }
    }
    run->showPage(Page::Send);
    QCOMPARE(run->find<QPushButton>("BsentJobs")->toolTip(), QStringLiteral("Sent jobs (Ctrl+J)"));
    QTableView* table = openWithTheKey(*run);
    QVERIFY(table);
    QWidget* sent = table->window();
    auto* filter = sent->findChild<QLineEdit*>("LEsentFilter");
    // In recipients, subject and job name, in any letter case.
    for (const auto& [typed, subjects] : {std::pair{"BO@EX", "Photos"}, {"plans", "Plans"}, {"job-7", "Plans"},
                                         {"nowhere", ""}, {"", "Photos|Plans"}}) {
        filter->setText(typed);
        QStringList shown;
        for (int row = 0; row < table->model()->rowCount(); ++row)
            shown << cell(table, row, 2);
        QCOMPARE(shown.join(u'|'), QString(subjects));
    }

    // The menu of the job in the first row: its name copied, its details shown over the window.
    const auto menuAction = [&](int action) {
        const QPoint at = table->visualRect(table->model()->index(0, 2)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, table->viewport()->mapToGlobal(at));
        QApplication::sendEvent(table->viewport(), &event);
        auto* menu = sent->findChild<QMenu*>("SentJobMenu");
        QTRY_VERIFY(menu && menu->isVisible());
        menu->actions().at(action)->trigger();
        menu->hide();
        QTRY_VERIFY(!sent->findChild<QMenu*>("SentJobMenu"));
    };
    menuAction(1);
    QCOMPARE(QGuiApplication::clipboard()->text(), names[1]);
    menuAction(0);
    QWidget* details = topLevel("SentJobDetails");
    QVERIFY(details);
    // Centred before its frame is known: off by the frame's width at most.
    QVERIFY((details->frameGeometry().center() - sent->frameGeometry().center()).manhattanLength() <= 8);

    // The language changes while both are open.
    run->client->state.LanguageName = QString::fromUtf8("FRAN\u00e7AIS");
    run->window()->ApplyLanguage();
    QCOMPARE(sent->windowTitle(), QStringLiteral("Envois effectu\u00E9s"));
    QCOMPARE(table->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("\u00C9tat"));
    QCOMPARE(details->windowTitle(), "Envoi - " + names[1]);
    QVERIFY(stateOf(table, "Plans").startsWith("pris en charge 20"));
    for (const QString& text : {stateOf(table, "Plans"), stateOf(table, "Photos")})
        QVERIFY(table->fontMetrics().horizontalAdvance(text) < table->columnWidth(4));
    QVERIFY(table->horizontalHeader()->sectionSizeHint(4) <= table->columnWidth(4));

    // Escape closes the details, Ctrl+W the window.
    for (const auto& [window, key, modifier] : {std::tuple{details, Qt::Key_Escape, Qt::NoModifier},
                                                {sent, Qt::Key_W, Qt::ControlModifier}}) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, key, modifier);
        QVERIFY(!window->isVisible());
    }
}

int main(int argc, char** argv)
{
    PrivateBus bus; // before anything asks for the session bus
    g_bus = &bus;
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestSentJobs test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sentjobs.moc"
