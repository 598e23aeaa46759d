#pragma once
// What an upload folder holds: its jobs, each with its state as the server sees it.
#include "spool/JobDescriptor.h"

#include <QList>
#include <QString>
#include <optional>

struct JobListingEntry {
    enum class State { Incomplete, Abandoned, Complete, Broken };
    QString name;       // the job name, without extension
    State state = State::Broken;
    QString problem;    // why a job is broken
    std::optional<JobDescriptor> descriptor;
    qint64 bytes = 0;   // bytes below the job's folder
};

QString StateText(JobListingEntry::State state);

// Every job in folder, sorted by name: a name that has any of the four entries
// (.lck, .pvx, .dir, .msg). Incomplete while its lock exists, and abandoned when
// nobody holds that lock (its writer crashed or lost its power); complete when the
// descriptor is valid and the folder and message file exist; broken otherwise.
// Throws IoError when the folder cannot be listed.
QList<JobListingEntry> ListJobs(const QString& folder);

// The start of the names of this computer's jobs ("PV_" + its name + "_").
QString ThisComputersJobPrefix();

// Removes an abandoned job: its message, folder and descriptor, then its lock, all the
// while holding the lock, so that a job whose writer is at work is never touched.
// Empty on success; else why not, naming what is left.
QString RemoveAbandonedJob(const QString& folder, const QString& name);
