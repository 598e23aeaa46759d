#pragma once
// Finish: the summary, the confirmation and the job written into the upload folder
// under its lock: lock, descriptor, copied selection, message; then the lock goes.
#include "spool/JobName.h"
#include "spool/JobRefusal.h"
#include "util/FileCopy.h"

#include <QString>
#include <functional>
struct Client;
struct CopyPlan;

// How a job that SubmitJob took up ended.
enum class JobOutcome {
    Complete,      // written whole, its lock released
    Refused,       // refused before anything was written
    FailedRemoved, // failed, and what it wrote was removed again
    FailedLocked,  // failed, or its lock could not be removed: what is left stays locked
};

// Told when a job's writing starts (just before its lock is made) and how the job
// ended: the record of sent jobs listens here. A refused job only ends. It must not
// throw: nothing an observer does may fail or stop a job; and it is told before the
// lock, so that between the lock and the job's entries nothing waits for it.
class JobObserver {
public:
    virtual ~JobObserver() = default;
    virtual void jobStarted(const Client& client, const JobNames& names, const CopyPlan& plan) = 0;
    // message: why it was refused or failed (empty when complete).
    virtual void jobEnded(const Client& client, const JobNames& names, const CopyPlan& plan, JobOutcome outcome,
                          const QString& message) = 0;
};

// What the caller lends to a submission: the window or the terminal. Nothing here
// reaches back into the caller once the job is written; what follows is the caller's
// to decide from the result.
struct SubmissionHooks {
    // Disable (false) and enable (true) the main window around the copy.
    std::function<void(bool)> setWindowEnabled;
    // Progress of the copy; return false to cancel.
    CopyObserver copyObserver;
    // Asked between the steps and during the copy: a text (why) when the job must stop
    // now, as when the command-line tool is interrupted.
    std::function<QString()> stopRequested;
    // Told when the job starts and ends (the record of sent jobs); may be null.
    JobObserver* observer = nullptr;
};

// What became of Finish or of one job: the window asks what next or ends the program
// from it, the command-line tool takes its exit code from it.
struct SubmissionResult {
    enum class End {
        NotSent, // Finish only: refused by the summary or a check, not confirmed, or an error shown; nothing written
        Written, // the job is complete in the upload folder
        Refused, // refused before anything was written (message says why)
        Failed,  // a step failed or the copy was cancelled; the job was taken away again (message)
        Stopped, // a stop was asked for (a signal, the session's end); taken away as after a failure (message)
    };
    End end = End::NotSent;
    // Written: false when its lock could not be removed. That was reported through the
    // prompter; the job stays locked, so the server never takes it.
    bool lockReleased = false;
    // Written while the form's auto-quit is on: the program ends now, without asking.
    bool autoQuit = false;
    // Refused, Failed, Stopped: why, and what became of the job's entries.
    QString message;

    bool written() const { return end == End::Written; }
};

// Finish: saves the message memory, runs the summary, refuses or asks
// "Sending, are you sure" and submits on Yes. Every refusal and error is shown through
// the prompter, that of the job too.
SubmissionResult FinishJob(Client& client, const SubmissionHooks& hooks);

// Writes one job that copies plan (made by MakeSummary) and says how it ended; it shows
// nothing but a lock that stays. Refused before anything is written when the plan
// cannot be carried out (see PlanRefusal). A step that fails, a cancelled copy or a
// stop removes what the job wrote, the lock last; the message says what failed and
// whether the job was removed, and names whatever could not be removed (then the lock
// stays).
SubmissionResult SubmitJob(Client& client, const CopyPlan& plan, const SubmissionHooks& hooks);

// Checks of the plan before anything is written: every item can be read, is no pipe,
// device or system file, the upload folder is no part of it, every name and path fits
// the upload folder's file system (in a job folder named jobFolder), and the upload
// folder has room for it. Returns the refusal text, naming the item and the reason,
// or empty when the job may be written.
QString PlanRefusal(const Client& client, const CopyPlan& plan, const QString& jobFolder);
