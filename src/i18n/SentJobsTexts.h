#pragma once
// The texts of the record of sent jobs in a language, from its record (Languages.h):
// the Sent jobs window, its details, the states of a job, the word when a job is taken
// and the warnings of the record itself.
#include <QString>

struct SentJobsTexts {
    QString title;      // the window's title and the Send page's button: "Sent jobs"
    QString time, recipients, subject, size, state; // the table's columns
    // The states of a job, as the upload folder shows it.
    QString beingWritten, waiting, beingTaken, taken, failed, leftLocked, cannotTell;
    QString takenAt;    // "taken %1", the time it was first seen gone
    QString lookedAt;   // "Upload folder looked at %1"
    QString close;
    QString filter;      // the filter box's hint: what it looks in
    QString copyName, showDetails; // a job's menu (and the notification's action)
    // The details of one job.
    QString detailsTitle;
    QString job, uploadFolder, started, ended, stateLabel, takenLabel, recipientsLabel, subjectLabel, expires, hours,
        encrypted, selfExtracting, files, folders, sizeLabel, why, message, log, yes, no;
    // The desktop notification: "Taken by the server: %1 to %2", %1 the subject, %2 the
    // first recipient; more (" (+%1)") follows when there are others.
    QString notification, more;
    // Warnings of the record: %1 the reason, or the name the damaged record was set aside as.
    QString notRecorded, notRead, setAside;
};

// The texts for a language key; any unknown key gives English, as in the language
// tables.
SentJobsTexts SentJobsTextsFor(const QString& languageName);
