#pragma once
// How far a copy is, counted by what its work costs rather than by its bytes alone: a
// file costs its bytes plus a fixed cost of its own (opening, creating, closing it:
// on a share, round trips), expressed in bytes. That cost is learnt from the copy
// itself: the time each stretch of the run took is set against the files and the bytes
// it moved. A copy of 40,000 empty files and one large file thus moves steadily instead
// of standing at 99 % once the large file is through. Also the rate over the last few
// seconds and the time left.
#include <QtGlobal>
#include <deque>

class CopyPace {
public:
    // What a file costs before the copy has shown it: about what a local disk takes to
    // make a small file while it could have copied this many bytes.
    static constexpr double kFirstFileCost = 64.0 * 1024;

    CopyPace(qint64 filesTotal, qint64 bytesTotal);

    // How far the copy is elapsedMs after it began (the counts never go back).
    void update(qint64 elapsedMs, qint64 filesDone, qint64 bytesDone);

    // The part done, 0 to 1: it never goes back, also when the learnt cost changes.
    double fraction() const { return m_fraction; }
    // Files and bytes a second over the last few seconds; 0 while not known.
    double filesPerSecond() const { return m_filesPerSecond; }
    double bytesPerSecond() const { return m_bytesPerSecond; }
    // The seconds the rest takes at the recent pace; -1 while not known.
    qint64 secondsLeft() const { return m_secondsLeft; }
    // What a file costs beside its bytes, in bytes, as learnt so far.
    double fileCost() const { return m_fileCost; }

private:
    struct Sample {
        qint64 ms, files, bytes;
        double fraction;
    };
    void learn(double ms, double files, double bytes);

    const qint64 m_filesTotal, m_bytesTotal;
    double m_fileCost = kFirstFileCost;
    double m_fraction = 0;
    double m_filesPerSecond = 0, m_bytesPerSecond = 0;
    qint64 m_secondsLeft = -1;
    Sample m_last{0, 0, 0, 0};
    std::deque<Sample> m_recent; // the last few seconds, oldest first
    // Sums of the least-squares fit time = perFile * files + perByte * bytes over the
    // stretches of the run, older stretches weighing less.
    double m_ff = 0, m_fb = 0, m_bb = 0, m_ft = 0, m_bt = 0;
};
