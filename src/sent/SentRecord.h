#pragma once
// One job in the record of sent jobs, and the states a job goes through once it is
// written: being written, waiting for the server, being taken, taken; or failed, left
// locked, and "cannot tell" while its upload folder cannot be reached.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

struct SentJobsTexts;

// How the writing of a job ended. Writing: its writer has not said yet (it is at work,
// or it stopped before it could).
enum class SentOutcome { Writing, Complete, Refused, FailedRemoved, FailedLocked };

// What the upload folder says of a job now (with the record's outcome).
enum class SentState { BeingWritten, Waiting, BeingTaken, Taken, Failed, LeftLocked, CannotTell };

struct SentRecord {
    qint64 id = 0;           // the database's number; 0 before it is stored
    QString name;            // the job name, without extension
    QString uploadFolder;    // ends in the separator
    QDateTime started;       // UTC, when its lock was made (or it was refused)
    QDateTime ended;         // UTC; null while it is written, or when its writer never said
    SentOutcome outcome = SentOutcome::Writing;
    QString problem;         // why it was refused or failed
    qint64 files = 0;        // files and folders the job carries, and the files' bytes
    qint64 folders = 0;
    qint64 bytes = 0;
    QStringList recipients;
    QString subject;
    QString expireHours;
    bool encrypted = false;
    bool selfExtracting = false;
    QDateTime taken;         // UTC, when it was first seen gone from the upload folder
    // Only read with the details of one job.
    QStringList messageLines;
    QStringList logLines;
    // Decided by looking at the upload folder; never stored.
    SentState state = SentState::CannotTell;
    // What the upload folder's listing calls the job (as `parvela jobs` does: "complete",
    // "incomplete", ...); empty when nothing of it is there or it was not looked at.
    QString folderState;

    // Taken, refused or failed and removed: nothing in the upload folder changes it any more.
    bool isSettled() const;
};

// The outcome as stored ("writing", "complete", "refused", "failed-removed",
// "failed-locked") and back.
QString OutcomeKey(SentOutcome outcome);
std::optional<SentOutcome> OutcomeFromKey(const QString& key);
// The state for scripts: "being-written", "waiting", "being-taken", "taken", "failed",
// "left-locked", "cannot-tell".
QString StateKey(SentState state);
// The state in a language's words.
QString StateWords(const SentJobsTexts& texts, SentState state);

// The word when a job is taken: "Taken by the server: <subject> to <first recipient> (+N)".
QString TakenNotificationText(const SentJobsTexts& texts, const SentRecord& record);
