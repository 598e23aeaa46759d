// Fills a record of sent jobs for the benchmark: COUNT jobs spread over the last year,
// newest first in time order, as one user who sends every day would have them. Most
// are taken; the newest are still waiting (their entries are made in the upload
// folder), some failed. Beside them, the upload folder holds other users' jobs.
//   sent_fill DATA-FOLDER UPLOAD-FOLDER COUNT
#include "sent/SentStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

bool makeJob(const QString& upload, const QString& name)
{
    QFile pvx(upload + name + QStringLiteral(".pvx"));
    QFile msg(upload + name + QStringLiteral(".msg"));
    return pvx.open(QIODevice::WriteOnly) && pvx.write(QByteArray(101370, '\0')) == 101370 &&
           msg.open(QIODevice::WriteOnly) && QDir().mkpath(upload + name + QStringLiteral(".dir"));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: sent_fill DATA-FOLDER UPLOAD-FOLDER COUNT\n");
        return 2;
    }
    const QString data = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + u'/';
    const QString upload = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + u'/';
    const int count = QString::fromLocal8Bit(argv[3]).toInt();
    QDir().mkpath(upload);
    bool ok = true;
    SentStore store(SentStore::pathIn(data), [&ok](SentStore::Warning, const QString& why) {
        std::fprintf(stderr, "sent_fill: %s\n", qPrintable(why));
        ok = false;
    });
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // A year less a day: none of them is old enough to be removed while measuring.
    const qint64 span = qint64(364) * 24 * 3600 * 1000;
    const int waiting = qMax(1, count / 50);
    for (int i = 0; i < count && ok; ++i) {
        SentRecord r;
        r.name = QStringLiteral("PV_BENCH_%1_%2").arg(i, 6, 10, QLatin1Char('0')).arg(QStringLiteral("a1B2c3D4e5F6g7H8i9J0k1L2m3N4o5P6q7R8s9T0"));
        r.uploadFolder = upload;
        r.started = now.addMSecs(-span + span * i / count);
        r.ended = r.started.addSecs(20);
        r.outcome = i % 100 == 7 ? SentOutcome::FailedRemoved : SentOutcome::Complete;
        if (r.outcome == SentOutcome::FailedRemoved)
            r.problem = QStringLiteral("No space left on device: %1%2.dir/data.bin\nThe job was removed from the upload folder.")
                            .arg(upload, r.name);
        r.files = 1 + i % 40;
        r.folders = i % 5;
        r.bytes = qint64(1 + i % 977) * 1048576 + i;
        r.recipients = {QStringLiteral("colleague%1@example.org").arg(i % 37)};
        if (i % 3 == 0)
            r.recipients << QStringLiteral("partner%1@example.com").arg(i % 11);
        r.subject = QStringLiteral("Project %1: drawings and photos, revision %2").arg(i % 53).arg(i % 9);
        r.expireHours = QStringLiteral("48");
        r.encrypted = i % 2;
        r.messageLines = {QStringLiteral("Hello,"), QStringLiteral("here are the files."), QStringLiteral("Regards")};
        r.logLines = {QStringLiteral("Determine what to sent:"), QStringLiteral("05 - Lock released")};
        if (i < count - waiting && r.outcome == SentOutcome::Complete)
            r.taken = r.ended.addSecs(90);
        if (!r.taken.isValid() && r.outcome == SentOutcome::Complete)
            ok = ok && makeJob(upload, r.name);
        ok = ok && store.add(r) > 0;
    }
    // Other users' jobs in the same folder, which every look lists as well.
    for (int i = 0; i < 1000 && ok; ++i)
        ok = makeJob(upload, QStringLiteral("PV_OTHER%1_20240101120000_x").arg(i));
    std::printf("sent_fill: %d records (%d waiting, about %d failed), 1000 other jobs in the upload folder\n", count,
                waiting, count / 100);
    return ok ? 0 : 1;
}
