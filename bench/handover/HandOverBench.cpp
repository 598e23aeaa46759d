// Many paths handed to the running window at once: a window program is started here
// (its world from the environment the caller sets), a later start of the real window
// program hands it COUNT files of FOLDER, and this prints, in milliseconds: the time
// from the later start until every path is in the drop zone, the longest the window's
// event loop went without turning meanwhile, how long the later start took, and how
// long a second later start (no paths) took to get its answer while the first were
// still being added.
//   handover_bench PARVELACLIENT POLICY-FOLDER FOLDER COUNT
#include "app/gui/ClientProgram.h"
#include "app/gui/MainWindow.h"
#include "app/gui/SingleWindow.h"
#include "client/Client.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <cstdio>

namespace {
double msSince(const QElapsedTimer& clock) { return double(clock.nsecsElapsed()) / 1e6; }
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: handover_bench PARVELACLIENT POLICY-FOLDER FOLDER COUNT\n");
        return 2;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[3]);
    const int count = QByteArray(argv[4]).toInt();
    QApplication::setQuitOnLastWindowClosed(false);

    SingleWindow single;
    if (single.claim({}) != SingleWindow::Claim::First) {
        std::fprintf(stderr, "handover_bench: another window of this user is running\n");
        return 2;
    }
    Client client;
    client.programPath = QString::fromLocal8Bit(argv[2]) + QStringLiteral("/parvelaclient");
    ClientProgram window(client);
    client.state.FirstRun = false; // no Settings dialog waiting for an answer
    window.show();
    MainWindow* main = window.mainWindow();
    single.setReceiver([main](const QStringList& paths) { main->openPaths(paths, MainWindow::PathsFrom::LaterStart); });
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    // The event loop's pulse: the longest gap between two turns.
    QElapsedTimer pulse;
    pulse.start();
    qint64 longestGap = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] { longestGap = qMax(longestGap, pulse.restart()); });

    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')));
    QElapsedTimer clock;
    clock.start();
    QProcess later;
    later.setWorkingDirectory(folder);
    later.start(program, names);
    // Starting a process of 100,000 arguments is this program's own work: the pulse is
    // taken from when the later start runs.
    later.waitForStarted();
    pulse.restart();
    beat.start(5);
    double laterMs = -1, bareMs = -1, allMs = -1;
    QProcess bare;
    QElapsedTimer bareClock;
    while ((allMs < 0 || bareMs < 0) && clock.elapsed() < 120000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (allMs < 0 && client.form.selection().size() >= count)
            allMs = msSince(clock);
        if (laterMs < 0 && later.state() == QProcess::NotRunning) {
            laterMs = msSince(clock);
            bareClock.start();
            bare.start(program, {});
        }
        if (bareMs < 0 && bareClock.isValid() && bare.state() == QProcess::NotRunning)
            bareMs = msSince(bareClock);
    }
    beat.stop();
    const qsizetype added = client.form.selection().size();
    std::printf("%lld %.1f %lld %.1f %.1f\n", static_cast<long long>(added), allMs, static_cast<long long>(longestGap),
                laterMs, bareMs);
    return added == count ? 0 : 1;
}
