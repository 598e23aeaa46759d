#pragma once
// Finish: the summary, the confirmation and the job written into the upload folder
// under its lock: lock, descriptor, copied selection, message; then the lock goes.
#include "spool/JobRefusal.h"
#include "util/FileCopy.h"

#include <QString>
#include <functional>
struct Client;

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
};

// Finish: saves the message memory, runs the summary, refuses or asks
// "Sending, are you sure" and submits on Yes. Errors are shown through the prompter.
void FinishJob(Client& client, const SubmissionHooks& hooks);

// Writes one job. Returns true when the job is complete and its lock released.
// Throws UserError (IoError, CopyCancelled...) on the first failure: the lock stays.
bool SubmitJob(Client& client, const SubmissionHooks& hooks);

// The steps of a job, each announced by its status line. Names are plain file names;
// the upload folder goes in front.
// Writes the lock file; true when it exists afterwards.
bool CreateJobLock(Client& client, const QString& lockName);
void WriteJobDescriptor(Client& client, const QString& descriptorName);
// Makes the job folder and copies the whole selection into it, the main window
// disabled meanwhile.
void CopySelectionToJob(Client& client, const QString& folderName, const SubmissionHooks& hooks);
void WriteJobMessage(Client& client, const QString& messageName);
// Deletes the lock file; true when it is gone. A lock that stays is reported (with
// the system's text and its name) through the prompter.
bool ReleaseJobLock(Client& client, const QString& lockName);
