#pragma once
// What the window records of a submission, for the tests that run one through Finish.
#include "client/Client.h"
#include "spool/Submission.h"

#include <QList>

inline const QString kReleased = QStringLiteral("05 - Lock released");

struct Recorder {
    QList<bool> windowStates;
    JobObserver* observer = nullptr; // the record of sent jobs, where a test keeps one
    SubmissionHooks hooks(CopyObserver observer = {})
    {
        SubmissionHooks h;
        h.setWindowEnabled = [this](bool on) { windowStates.append(on); };
        h.copyObserver = std::move(observer);
        h.observer = this->observer;
        return h;
    }
    // Finish on client, its confirmation answered as given.
    SubmissionResult finish(Client& client, CopyObserver observer = {}, PromptAnswer answer = PromptAnswer::Yes)
    {
        client.prompter.queueAnswers({answer});
        return FinishJob(client, hooks(std::move(observer)));
    }
};
