#include "client/ClientState.h"
#include "platform/Environment.h"
#include "spool/JobName.h"
#include "util/FileDelete.h"
#include "util/NameParts.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTest>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

using environment::TimeFormat;
Q_DECLARE_METATYPE(TimeFormat)

namespace {
const QDateTime kNewYearsEve(QDate(2008, 12, 31), QTime(14, 35, 22));

TimeFormat clock24(bool leadingZero = true)
{
    TimeFormat f;
    f.twelveHour = false;
    f.leadingZero = leadingZero;
    return f;
}
TimeFormat clock12(bool leadingZero = false, bool markerFirst = false)
{
    TimeFormat f;
    f.twelveHour = true;
    f.leadingZero = leadingZero;
    f.markerFirst = markerFirst;
    return f;
}
void setFixedClock(const QDateTime& at)
{
    environment::setClock([at] { return at; });
}
} // namespace

class TestJobNaming : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every test that names a job sets COMPUTERNAME (or unsets it) itself.
    void cleanup()
    {
        environment::setClock({});
        environment::setLongTimeFormat(std::nullopt);
    }

    void randomTextHasItsLengthAndAlphabet_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("alphabet");
        QTest::newRow("mode 0, one") << 1 << 0 << "[0-9]";
        QTest::newRow("mode 0, past one chunk") << 30 << 0 << "[0-9]";
        QTest::newRow("mode 1") << 25 << 1 << "[0-9A-Z]";
        QTest::newRow("mode 1, one") << 1 << 1 << "[0-9A-Z]";
        QTest::newRow("mode 2, long") << 200 << 2 << "[0-9A-Za-z]";
        QTest::newRow("empty") << 0 << 2 << ".";
        QTest::newRow("negative length") << -5 << 1 << ".";
        QTest::newRow("unknown mode ends") << 15 << 7 << "[0-9A-Za-z]";
    }
    void randomTextHasItsLengthAndAlphabet()
    {
        QFETCH(int, length);
        QFETCH(int, mode);
        QFETCH(QString, alphabet);
        const QRegularExpression shape(QStringLiteral("^%1{%2}$").arg(alphabet).arg(qMax(0, length)));
        for (int i = 0; i < 2000; ++i) {
            const QString text = RandomText(length, RandomMode(mode));
            if (!shape.match(text).hasMatch())
                QFAIL(qPrintable(QStringLiteral("draw %1: \"%2\"").arg(i).arg(text)));
        }
    }

    // Numbers below 65 add one or two digits at once, so digits outweigh letters by a
    // known share: 132 of 184 characters in mode 2, 120 of 146 in mode 1. A generator
    // that picks evenly among 62 or 36 characters lands far off.
    void randomTextFavoursDigitsAsItsChunksDo_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("share");
        QTest::newRow("mode 1") << 1 << 120.0 / 146;
        QTest::newRow("mode 2") << 2 << 132.0 / 184;
    }
    void randomTextFavoursDigitsAsItsChunksDo()
    {
        QFETCH(int, mode);
        QFETCH(double, share);
        const QString text = RandomText(200000, RandomMode(mode));
        QCOMPARE(text.size(), 200000);
        const double digits = double(DigitsOnly(text).size()) / text.size();
        QVERIFY2(qAbs(digits - share) < 0.01, qPrintable(QString::number(digits)));
        // Every letter of the mode turns up.
        for (char16_t c = u'A'; c <= u'Z'; ++c)
            QVERIFY(text.contains(QChar(c)));
        for (char16_t c = u'a'; c <= u'z'; ++c)
            QCOMPARE(text.contains(QChar(c)), mode == 2);
    }

    void randomTextDiffersAndMode0ChunksAreClockTimesDraw()
    {
        QSet<QString> seen;
        for (int i = 0; i < 1000; ++i)
            seen.insert(RandomText(40, RandomMode::DigitsUpperLower));
        QCOMPARE(seen.size(), 1000);
        // At midnight a chunk is (0+1)*(0+1)*(r+2): 2 to 1000000, never a leading zero.
        // At 23:59:59 it is 86400*60*(r+2): at least 10368000, so the first eight
        // characters are one number without a leading zero.
        setFixedClock(QDateTime(QDate(2008, 12, 31), QTime(0, 0, 0)));
        for (int i = 0; i < 500; ++i) {
            const QString one = RandomText(7, RandomMode::Numbers);
            QVERIFY2(one[0] != u'0', qPrintable(one));
        }
        setFixedClock(QDateTime(QDate(2008, 12, 31), QTime(23, 59, 59)));
        for (int i = 0; i < 500; ++i) {
            const qint64 head = RandomText(8, RandomMode::Numbers).toLongLong();
            QVERIFY2(head >= 10000000, qPrintable(QString::number(head)));
        }
        // Mode 0 at a frozen clock still varies through its draw.
        QVERIFY(RandomText(20, RandomMode::Numbers) != RandomText(20, RandomMode::Numbers));
    }

    // Only ASCII digits count: other scripts' digits, superscripts and wide digits do not.
    void digitsOnly()
    {
        QCOMPARE(DigitsOnly(QString::fromUtf8("20081231 2:35 PM \u0663\uFF12\u00B2")), QStringLiteral("20081231235"));
        QCOMPARE(DigitsOnly(QString()), QString());
    }

    void dateStamp_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<TimeFormat>("format");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("midnight, 24-hour") << QTime(0, 0, 0) << clock24() << "20081231";
        QTest::newRow("midnight, 12-hour") << QTime(0, 0, 0) << clock12() << "20081231";
        QTest::newRow("midnight and a half second") << QTime(0, 0, 0, 500) << clock24() << "20081231";
        QTest::newRow("one second past") << QTime(0, 0, 1) << clock24() << "20081231 00:00:01";
        QTest::newRow("24-hour, zero, morning") << QTime(9, 5, 3) << clock24() << "20081231 09:05:03";
        QTest::newRow("24-hour, no zero") << QTime(9, 5, 3) << clock24(false) << "20081231 9:05:03";
        QTest::newRow("12-hour, no zero, PM") << QTime(14, 35, 22) << clock12() << "20081231 2:35:22 PM";
        QTest::newRow("12-hour, no zero, 10 AM") << QTime(10, 35, 22) << clock12() << "20081231 10:35:22 AM";
        QTest::newRow("12-hour, zero") << QTime(14, 35, 22) << clock12(true) << "20081231 02:35:22 PM";
        QTest::newRow("12-hour, marker first") << QTime(14, 35, 22) << clock12(false, true) << "20081231 PM 2:35:22";
        QTest::newRow("12-hour, noon") << QTime(12, 0, 0) << clock12() << "20081231 12:00:00 PM";
        QTest::newRow("12-hour, just past midnight") << QTime(0, 0, 1) << clock12() << "20081231 12:00:01 AM";
        TimeFormat swedish = clock12();
        swedish.amText = QStringLiteral("fm");
        swedish.pmText = QStringLiteral("em");
        QTest::newRow("12-hour, own markers") << QTime(23, 59, 59) << swedish << "20081231 11:59:59 em";
    }
    void dateStamp()
    {
        QFETCH(QTime, time);
        QFETCH(TimeFormat, format);
        QFETCH(QString, stamp);
        setFixedClock(QDateTime(QDate(2008, 12, 31), time));
        environment::setLongTimeFormat(format);
        QCOMPARE(DateStamp(), stamp);
    }

    void dateStampReadsTheClockOnce()
    {
        // Across midnight, the date and the time must come from the same moment.
        int calls = 0;
        environment::setClock([&calls] {
            return calls++ == 0 ? QDateTime(QDate(2008, 12, 31), QTime(23, 59, 59))
                                : QDateTime(QDate(2009, 1, 1), QTime(0, 0, 0));
        });
        environment::setLongTimeFormat(clock24());
        QCOMPARE(DateStamp(), QStringLiteral("20081231 23:59:59"));
    }

    void jobNameHasItsShape_data()
    {
        QTest::addColumn<bool>("set");
        QTest::addColumn<QString>("computer");
        QTest::addColumn<QString>("piece");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("date");
        QTest::newRow("workstation") << true << "OFFICE7" << "OFFICE7" << QTime(14, 35, 22) << "20081231143522";
        QTest::newRow("empty name") << true << "" << "" << QTime(14, 35, 22) << "20081231143522";
        QTest::newRow("midnight") << true << "OFFICE7" << "OFFICE7" << QTime(0, 0, 0) << "20081231";
        QTest::newRow("separators in the name") << true << "../up\\x:y" << "..-up-x-y" << QTime(14, 35, 22)
                                                << "20081231143522";
        // The lock file's text is Windows-1252: a character it has no byte for would turn
        // into '?' there and name another file.
        QTest::newRow("beyond Windows-1252") << true << QString::fromUtf8("\u0141\u00f3d\u017a-PC\U0001F600")
                                             << QString::fromUtf8("-\u00f3d--PC-") << QTime(14, 35, 22)
                                             << "20081231143522";
#ifdef Q_OS_WIN // the computer's own name, which Windows gives COMPUTERNAME as well
        wchar_t own[MAX_COMPUTERNAME_LENGTH + 1];
        DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
        const QString host = ::GetComputerNameW(own, &size) ? QString::fromWCharArray(own, int(size)) : QString();
#else
        const QString host = QSysInfo::machineHostName();
#endif
        QTest::newRow("unset: the host name") << false << "" << host << QTime(14, 35, 22) << "20081231143522";
    }
    void jobNameHasItsShape()
    {
        QFETCH(bool, set);
        QFETCH(QString, computer);
        QFETCH(QString, piece);
        QFETCH(QTime, time);
        QFETCH(QString, date);
#ifdef Q_OS_WIN // where the narrow environment is in the ANSI code page and none is empty
        if (set && computer.isEmpty())
            QSKIP("Windows has no empty environment variables");
        if (set)
            ::_wputenv_s(L"COMPUTERNAME", computer.toStdWString().c_str());
#else
        if (set)
            qputenv("COMPUTERNAME", computer.toUtf8());
#endif
        else
            qunsetenv("COMPUTERNAME");
        TestEnv env;
        ClientState state;
        state.UploadFolder = env.upload() + u'/';
        setFixedClock(QDateTime(QDate(2008, 12, 31), time));
        environment::setLongTimeFormat(clock24());

        const JobNames names = MakeJobName(state);
        const QRegularExpression shape(QStringLiteral("^PV_%1_%2_[0-9A-Za-z]{40}\\.pvx$")
                                           .arg(QRegularExpression::escape(piece), date));
        QVERIFY2(shape.match(names.descriptor).hasMatch(), qPrintable(names.descriptor));
        // The other names' endings: jobNameDrawsAgainWhileTheFolderIsTaken and tst_submission.
        // Two names in a row differ in their random part.
        QVERIFY(MakeJobName(state).descriptor != names.descriptor);
    }

    void jobNameDrawsAgainWhileTheFolderIsTaken_data()
    {
        QTest::addColumn<QStringList>("blockers"); // entries made for the first name
        QTest::addColumn<int>("draws");
        QTest::newRow("free") << QStringList() << 1;
        QTest::newRow("job folder") << QStringList{"dir/"} << 2;
        QTest::newRow("lock, descriptor and message only") << QStringList{"lck", "pvx", "msg"} << 1;
        QTest::newRow("a file in the folder's place") << QStringList{"dir"} << 2;
        QTest::newRow("folder of the second name too") << QStringList{"dir/", "dir/#2"} << 3;
    }
    void jobNameDrawsAgainWhileTheFolderIsTaken()
    {
        QFETCH(QStringList, blockers);
        QFETCH(int, draws);
        qputenv("COMPUTERNAME", "OFFICE7");
        TestEnv env;
        ClientState state;
        state.UploadFolder = env.upload() + u'/';
        environment::setLongTimeFormat(clock24());
        // Every reading of the clock is a second later, so each round's name shows that
        // all its pieces were read afresh.
        int seconds = 0;
        environment::setClock([&seconds] {
            return QDateTime(QDate(2008, 12, 31), QTime(14, 35, 20)).addSecs(seconds++);
        });
        const QStringList parts = {QString(40, u'A'), QString(40, u'B'), QString(40, u'C')};
        auto name = [](int round, const QString& part) {
            return QStringLiteral("PV_OFFICE7_200812311435%1_").arg(20 + round) + part;
        };
        for (QString blocker : blockers) {
            int round = 0;
            if (blocker.endsWith(QStringLiteral("#2"))) {
                round = 1;
                blocker.chop(2);
            }
            const QString path = env.upload() + u'/' + name(round, parts[round]) + u'.' + blocker;
            if (blocker.endsWith(u'/'))
                QVERIFY(QDir().mkpath(path));
            else
                QVERIFY(!env.makeFile(QStringLiteral("upload/") + QFileInfo(path).fileName(), "x").isEmpty());
        }

        int drawn = 0;
        const JobNames names = MakeJobName(state, [&] { return parts[qMin(drawn++, 2)]; });
        QCOMPARE(drawn, draws);
        QCOMPARE(names.folder, name(draws - 1, parts[draws - 1]) + QStringLiteral(".dir"));
        QCOMPARE(names.lock, name(draws - 1, parts[draws - 1]) + QStringLiteral(".lck"));
    }

    // A file or a whole tree goes, read-only entries too; a link goes itself, never
    // what it leads to (a trailing separator does not lead through it), and so do the
    // links inside a tree. What stays makes the answer false; what could go went.
    void shellDeleteRemovesWhatItIsGiven()
    {
        TestEnv env;
        const QString r = env.root();
        const QString kept = env.makeFile("target/keep.txt", "k"), outside = env.makeFile("outside.txt", "o");
        env.makeFile("tree/a/b/c.txt", "c");
        env.makeFile("tree/.hidden", "h");
        QVERIFY(QDir().mkpath(r + "/tree/empty"));
        QVERIFY(QFile::setPermissions(env.makeFile("tree/ro.txt", "r"), QFileDevice::ReadOwner));
        QVERIFY(QFile::link(r + "/target", r + "/tree/inner") && QFile::link(outside, r + "/tree/file"));
        QVERIFY(QFile::link(r + "/target", r + "/link") && QFile::link(r + "/nowhere", r + "/dangling"));
        env.makeFile("slash/x.txt", "x");
        for (const QString& path : {env.makeFile("one.txt", "1"), r + "/tree", r + "/link/", r + "/dangling", r + "/slash/"}) {
            QVERIFY2(ShellDelete(path), qPrintable(path));
            QVERIFY2(!QFileInfo(path).exists() && !QFileInfo(path).isSymLink(), qPrintable(path));
        }
        QVERIFY(!QFileInfo(r + "/link").isSymLink());
        QVERIFY(QFileInfo::exists(kept) && QFileInfo::exists(outside));
        for (const QString& path : {r + "/missing", QString(), QStringLiteral("/")})
            QVERIFY2(!ShellDelete(path), qPrintable(path));

        const QString stuck = env.makeFile("stuck/stuck.txt", "s");
        const QString loose = env.makeFile("stuck/sub/loose.txt", "l");
        if (!setImmutable(stuck, true))
            QSKIP("chattr +i is not available on this file system");
        const bool removed = ShellDelete(r + "/stuck"), fileRemoved = ShellDelete(stuck);
        setImmutable(stuck, false);
        QVERIFY(!removed && !fileRemoved);
        QVERIFY(QFileInfo::exists(stuck));
        QVERIFY(!QFileInfo::exists(loose));
    }
};

QTEST_GUILESS_MAIN(TestJobNaming)
#include "tst_jobnaming.moc"
