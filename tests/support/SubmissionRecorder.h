#pragma once
// What the window records of a submission, for the tests that run one through Finish.
#include "spool/Submission.h"

#include <QList>

inline const QString kReleased = QStringLiteral("05 - Lock released");

struct Recorder {
    QList<bool> windowStates;
    SubmissionHooks hooks(CopyObserver observer = {})
    {
        SubmissionHooks h;
        h.setWindowEnabled = [this](bool on) { windowStates.append(on); };
        h.copyObserver = std::move(observer);
        return h;
    }
};
