#pragma once
// Shared by the window tests: starting the window program in a test's own world and
// answering the dialogs it opens.
#include "TestSupport.h"
#include "app/gui/ClientProgram.h"
#include "app/gui/ProgramEnd.h"
#include "app/gui/MainWindow.h"
#include "dialogs/AfterSubmissionDialog.h"
#include "dialogs/SettingsDialog.h"
#include "selection/gui/ShellBrowser.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

// Runs action as soon as window shows: a window that waits in a loop of its own needs
// its answer under way before it opens.
inline void whenShown(QWidget* window, const std::function<void()>& action)
{
    auto* timer = new QTimer(window);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, window, action] {
        if (!window->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start();
}

// Clicks the named button of window as soon as it shows.
inline void clickWhenShown(QWidget* window, const QString& button)
{
    whenShown(window, [window, button] { window->findChild<QPushButton*>(button)->click(); });
}

// Drags mime from another program onto target at a point and drops it there: how many
// of the two, the drag's entering and the drop, the target took.
inline int dropOn(QWidget* target, const QMimeData& mime, QPoint at = QPoint(5, 5))
{
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return int(enter.isAccepted()) + int(drop.isAccepted());
}

// The texts of a list's items, in order.
inline QStringList itemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// The top-level window of that name (shown or not), or null.
inline QWidget* topLevelWindow(const QString& name)
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w->objectName() == name)
            return w;
    return nullptr;
}

// One run of the window program inside a TestEnv.
struct GuiRun {
    std::unique_ptr<Client> client;
    std::unique_ptr<ClientProgram> program;

    MainWindow* window() const { return program->mainWindow(); }
    template <typename T> T* find(const QString& name) const { return window()->findChild<T*>(name); }
    AfterSubmissionDialog* afterSubmission() const { return program->afterSubmissionDialog(); }
    QTabWidget* pages() const { return find<QTabWidget>(QStringLiteral("PC")); }
    void showPage(Page page) const { pages()->setCurrentIndex(int(page)); }
    Page page() const { return Page(pages()->currentIndex()); }
    // The folder the shell browser shows.
    QString browserFolder() const { return window()->findChild<ShellBrowser*>()->folder(); }
    // The copy's progress window, a window of its own beside the main window.
    QWidget* progressWindow() const { return topLevelWindow(QStringLiteral("CopyProgressWindow")); }
};

// The face the program's captions are measured in: the system's own. On Windows the
// offscreen platform of the tests knows none and falls back on the first face in its
// font folder (under Wine a fixed-width Courier), where the windows platform gives the
// program the system's message font (Segoe UI; under Wine "MS Shell Dlg", which the
// system's substitutes make Tahoma).
inline void useSystemFace()
{
#ifdef Q_OS_WIN
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return;
    QSettings substitutes(QStringLiteral(R"(HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes)"),
                          QSettings::NativeFormat);
    for (const QString& name : substitutes.allKeys())
        QFont::insertSubstitution(name.section(u',', 0, 0), substitutes.value(name).toString().section(u',', 0, 0));
    QFont font = QApplication::font();
    font.setFamily(QString::fromWCharArray(metrics.lfMessageFont.lfFaceName));
    QApplication::setFont(font);
#endif
}

// Starts the program and shows it; a first start's Settings dialog is answered with OK.
inline std::unique_ptr<GuiRun> startProgram(const TestEnv& env, bool show = true)
{
    ProgramEnd::reset();
    useSystemFace();
    auto run = std::make_unique<GuiRun>();
    run->client = env.makeClient();
    run->program = std::make_unique<ClientProgram>(*run->client);
    if (!show || ProgramEnd::requested())
        return run;
    const bool firstRun = run->client->state.FirstRun;
    if (firstRun)
        clickWhenShown(run->program->settingsDialog(), QStringLiteral("Bok"));
    run->program->show();
    // The dialog opens right after the window shows and blocks until answered: wait for
    // that answer, however long a busy machine takes (the bound only ends a hang).
    if (firstRun && !QTest::qWaitFor([&run] { return !run->client->state.FirstRun; }, 60000))
        qWarning("The first start's Settings dialog was not answered");
    // Keys and focus go to the main window, as for a user who just started the program.
    run->window()->activateWindow();
    if (!QTest::qWaitForWindowActive(run->window()))
        qWarning("The main window did not become active");
    return run;
}

// Gives the test its own home folder, which the shell browser starts in.
inline void useHome(const TestEnv& env)
{
    const QString home = env.root() + QStringLiteral("/home");
    QDir().mkpath(home);
    qputenv("HOME", home.toUtf8());
}

// The usual start of a window test: a world of its own with a home folder and the
// default policy (plus the given lines under [POLICIES]), and the program started and
// shown in it (or only made, for a test that shows it itself). A test takes its parts with
//     const auto& [env, run] = StartedWindow();
// (the run goes before the world, as it was made after it).
struct StartedWindow {
    explicit StartedWindow(const QByteArray& policies = {}, bool show = true)
    {
        useHome(env);
        env.writeDefaultPolicy(policies);
        run = startProgram(env, show);
    }
    TestEnv env;
    std::unique_ptr<GuiRun> run;
};

// Every job descriptor in the test's upload folder, in name order: what a window test
// compares with the records it expects (expectedRecord).
inline QList<QByteArray> descriptors(const TestEnv& env)
{
    QList<QByteArray> found;
    const QStringList names = QDir(env.upload()).entryList({QStringLiteral("*.pvx")}, QDir::Files, QDir::Name);
    for (const QString& name : names)
        found << readAll(env.upload() + u'/' + name);
    return found;
}

// After each test: every test deletes its program, and nothing of it may stay on screen
// or in memory.
inline void verifyNoWindowLeft()
{
    QTest::qWait(1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList alive;
    for (QWidget* w : QApplication::topLevelWidgets())
        alive << QStringLiteral("%1(%2)").arg(w->metaObject()->className(), w->objectName());
    QVERIFY2(alive.isEmpty(), qPrintable(alive.join(u' ')));
}
