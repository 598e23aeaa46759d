#include "util/CopyPace.h"

#include <QTest>

#include <cmath>

using Files = QList<QPair<qint64, qint64>>; // runs of count files of size bytes each

class TestCopyPace : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A copy played out on a clock, told every 40 ms: each file takes msPerFile, then
    // its bytes go at bytesPerMs. The part done never goes back, stays near the part of
    // the time spent, and the time left at half-time is near the truth.
    void followsTheTimeSpent_data()
    {
        QTest::addColumn<Files>("job");
        QTest::addColumn<double>("msPerFile");
        QTest::addColumn<double>("bytesPerMs");
        const qint64 gib = qint64(1) << 30;
        QTest::newRow("40,000 empty, then 1 GiB") << Files{{40000, 0}, {1, gib}} << 0.05 << 1e6;
        QTest::newRow("1 GiB, then 40,000 empty") << Files{{1, gib}, {40000, 0}} << 0.05 << 1e6;
        QTest::newRow("share: 40,001 of 4 KiB") << Files{{40001, 4096}} << 2.0 << 5e4;
        QTest::newRow("empty files only") << Files{{40001, 0}} << 0.05 << 1e6;
        // Far from the first guess: what the mixed start teaches carries the rest.
        Files mixed;
        for (int i = 0; i < 100; ++i)
            mixed << QPair<qint64, qint64>{1, 1 << 20} << QPair<qint64, qint64>{20, 0};
        QTest::newRow("slow share: mixed, 4,000 empty, 1 GiB") << mixed + Files{{4000, 0}, {1, gib}} << 20.0 << 1e5;
    }
    void followsTheTimeSpent()
    {
        QFETCH(Files, job);
        QFETCH(double, msPerFile);
        QFETCH(double, bytesPerMs);
        qint64 files = 0, bytes = 0;
        double totalMs = 0;
        for (const auto& [count, size] : job)
            files += count, bytes += count * size, totalMs += double(count) * (msPerFile + double(size) / bytesPerMs);
        CopyPace pace(files, bytes);
        for (double ms = 40, before = 0;; ms += 40) {
            qint64 filesDone = 0, bytesDone = 0; // whole files, then the bytes of the one in hand
            double t = ms;
            for (const auto& [count, size] : job) {
                const double each = msPerFile + double(size) / bytesPerMs;
                const qint64 whole = qMin(count, qint64(t / each));
                filesDone += whole, bytesDone += whole * size, t -= double(whole) * each;
                if (whole < count) {
                    bytesDone += qint64(qBound(0.0, (t - msPerFile) * bytesPerMs, double(size)));
                    break;
                }
            }
            pace.update(qint64(ms), filesDone, bytesDone);
            QVERIFY2(pace.fraction() >= before && std::abs(pace.fraction() - qMin(1.0, ms / totalMs)) <= 0.1,
                     qPrintable(QStringLiteral("%1 at %2 ms of %3").arg(pace.fraction()).arg(ms).arg(totalMs)));
            before = pace.fraction();
            if (ms >= totalMs / 2 && ms < totalMs / 2 + 40) // at half-time
                QVERIFY(std::abs(double(pace.secondsLeft()) - (totalMs - ms) / 1000) <= qMax(1.5, (totalMs - ms) / 4000));
            if (filesDone == files && bytesDone == bytes)
                break;
        }
        QCOMPARE(pace.fraction(), 1.0);
    }
};

QTEST_GUILESS_MAIN(TestCopyPace)
#include "tst_copypace.moc"
