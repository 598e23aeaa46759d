#include "util/CopyPace.h"

#include <algorithm>
#include <cmath>

namespace {
// The rate and the time left are taken over this much of the run.
constexpr qint64 kRecentMs = 5000;
// Nothing is said about the pace before the run is this old.
constexpr qint64 kFirstPaceMs = 1000;
// A stretch of the run weighs half as much in the fit after this long.
constexpr double kHalfLifeMs = 20000;
// Files and bytes moved too much in step to tell their costs apart when the fit's
// determinant is below this part of what it would be were they independent.
constexpr double kDistinct = 0.05;
// The learnt cost stays within these bounds (in bytes).
constexpr double kLeastFileCost = 1, kMostFileCost = double(1 << 30);
} // namespace

CopyPace::CopyPace(qint64 filesTotal, qint64 bytesTotal) : m_filesTotal(filesTotal), m_bytesTotal(bytesTotal) {}

void CopyPace::learn(double ms, double files, double bytes)
{
    const double keep = std::exp2(-ms / kHalfLifeMs);
    m_ff = m_ff * keep + files * files;
    m_fb = m_fb * keep + files * bytes;
    m_bb = m_bb * keep + bytes * bytes;
    m_ft = m_ft * keep + files * ms;
    m_bt = m_bt * keep + bytes * ms;
    const double det = m_ff * m_bb - m_fb * m_fb;
    if (!(det > kDistinct * m_ff * m_bb))
        return; // all of one kind, or in step: the cost cannot be told, and matters less
    const double perFile = (m_ft * m_bb - m_bt * m_fb) / det;
    const double perByte = (m_bt * m_ff - m_ft * m_fb) / det;
    if (perFile > 0 && perByte > 0)
        m_fileCost = std::clamp(perFile / perByte, kLeastFileCost, kMostFileCost);
}

void CopyPace::update(qint64 elapsedMs, qint64 filesDone, qint64 bytesDone)
{
    const double files = double(filesDone - m_last.files), bytes = double(bytesDone - m_last.bytes);
    if (elapsedMs > m_last.ms && (files > 0 || bytes > 0))
        learn(double(elapsedMs - m_last.ms), files, bytes);
    // The part of what was left that this stretch did, at the cost known now: the
    // fraction grows by that part of the rest, so it never goes back and reaches 1
    // exactly when nothing is left.
    const double done = bytes + m_fileCost * files;
    const double left = double(qMax<qint64>(0, m_bytesTotal - bytesDone)) +
                        m_fileCost * double(qMax<qint64>(0, m_filesTotal - filesDone));
    if (left <= 0)
        m_fraction = 1;
    else if (done > 0)
        m_fraction += (1 - m_fraction) * done / (done + left);
    m_last = {elapsedMs, filesDone, bytesDone, m_fraction};

    m_recent.push_back(m_last);
    while (m_recent.size() > 2 && m_recent[1].ms <= elapsedMs - kRecentMs)
        m_recent.pop_front();
    const Sample& from = m_recent.front();
    const double seconds = double(elapsedMs - from.ms) / 1000;
    if (elapsedMs < kFirstPaceMs || seconds <= 0)
        return;
    m_filesPerSecond = double(filesDone - from.files) / seconds;
    m_bytesPerSecond = double(bytesDone - from.bytes) / seconds;
    const double pace = (m_fraction - from.fraction) / seconds;
    m_secondsLeft = m_fraction >= 1 ? 0 : pace > 0 ? qint64(std::ceil((1 - m_fraction) / pace)) : -1;
}
