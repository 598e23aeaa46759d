// Opens the Sent jobs window of the window program on an existing record and prints how
// many milliseconds pass from the command to open it until its table is painted on
// screen: the first opening (the window is made, the record read, the upload folder
// looked at) and a later one (read and looked at again).
//   sent_window_open DATA-FOLDER UPLOAD-FOLDER
#include "client/Client.h"
#include "i18n/LanguageTexts.h"
#include "sent/gui/SentJobs.h"
#include "sent/gui/SentJobsWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTableView>
#include <cstdio>

namespace {

// Notes that the table's rows were painted.
class PaintSeen : public QObject {
public:
    bool seen = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            seen = true;
        return false;
    }
};

double openAndPaint(SentJobs& sent)
{
    QElapsedTimer clock;
    clock.start();
    sent.openWindow();
    auto* table = sent.window()->findChild<QTableView*>(QStringLiteral("SentJobsTable"));
    PaintSeen paint;
    table->viewport()->installEventFilter(&paint);
    while (!paint.seen && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    table->viewport()->removeEventFilter(&paint);
    return paint.seen ? ms : -1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: sent_window_open DATA-FOLDER UPLOAD-FOLDER\n");
        return 2;
    }
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
    Client client;
    client.state.UserDataFolder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + u'/';
    client.state.UploadFolder = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + u'/';
    client.state.LanguageName = kEnglish;
    client.settingsWritable = false;
    QWidget owner;
    owner.resize(832, 600);
    owner.show();
    SentJobs sent(client, &owner);
    const double first = openAndPaint(sent);
    sent.window()->hide();
    QCoreApplication::processEvents();
    const double again = openAndPaint(sent);
    std::printf("%.1f %.1f %lld\n", first, again, qlonglong(sent.window()->findChild<QTableView*>()->model()->rowCount()));
    return first < 0 || again < 0 ? 1 : 0;
}
