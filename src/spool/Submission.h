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

// What the window lends to a submission.
struct SubmissionHooks {
    // Disable (false) and enable (true) the main window around the copy.
    std::function<void(bool)> setWindowEnabled;
    // Progress of the copy; return false to cancel.
    CopyObserver copyObserver;
    // After the job is written and auto-quit is off: the after-submission dialog.
    std::function<void()> afterSubmission;
    // After the job is written and auto-quit is on: save and end the program without
    // asking. Ending is the caller's to decide; without this hook the job simply ends.
    std::function<void()> endProgram;
    // Asked between the steps and during the copy: a text (why) when the job must stop
    // now, as when the command-line tool is interrupted.
    std::function<QString()> stopRequested;
    // Told when the job starts and ends (the record of sent jobs); may be null.
    JobObserver* observer = nullptr;
};

// Finish: saves the message memory, runs the summary, refuses or asks
// "Sending, are you sure" and submits on Yes. Errors are shown through the prompter.
void FinishJob(Client& client, const SubmissionHooks& hooks);

// Writes one job that copies plan (made by MakeSummary). Returns true when the job is
// complete and its lock released. Refused (UserError) before anything is written when
// the plan cannot be carried out (see PlanRefusal). A step that fails, or a cancelled
// copy, removes what the job wrote, the lock last, and throws UserError saying what
// failed and whether the job was removed; whatever could not be removed is named, and
// then the lock stays.
bool SubmitJob(Client& client, const CopyPlan& plan, const SubmissionHooks& hooks);

// Checks of the plan before anything is written: every item can be read, is no pipe,
// device or system file, the upload folder is no part of it, every name and path fits
// the upload folder's file system (in a job folder named jobFolder), and the upload
// folder has room for it. Returns the refusal text, naming the item and the reason,
// or empty when the job may be written.
QString PlanRefusal(const Client& client, const CopyPlan& plan, const QString& jobFolder);
