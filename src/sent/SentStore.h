#pragma once
// The record of sent jobs: one SQLite database in the user's data folder, beside the
// memory files, written and read through Qt SQL by the window program and any number
// of parvela processes at once (a write-ahead log and a busy timeout). Only its owner
// may read it.
//
// Nothing here throws, and nothing here may fail or hold up a job: whatever cannot be
// done is a warning, and the caller goes on without the record. A damaged database is
// set aside under a dated name and a new one is started; so is a link where the
// database or its log files belong (none is ever followed). Records older than a year go
// when the database is opened.
#include "sent/SentRecord.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class QSqlDatabase;
class QSqlError;

class SentStore {
public:
    enum class Warning {
        NotRecorded, // a job's record could not be written; detail: why
        NotRead,     // the record could not be read or updated; detail: why
        SetAside,    // it was damaged; detail: the name it was set aside as
    };
    using Warn = std::function<void(Warning warning, const QString& detail)>;

    static constexpr int kKeepDays = 365;
    // A writer waits this long for another one before its write is a warning.
    static constexpr int kBusyTimeoutMs = 2000;

    explicit SentStore(QString path, Warn warn = {});
    ~SentStore();
    SentStore(const SentStore&) = delete;
    SentStore& operator=(const SentStore&) = delete;

    // The database in a user data folder (which ends in the separator).
    static QString pathIn(const QString& userDataFolder);
    const QString& path() const { return m_path; }

    // Opens the database now (a job should not wait for that); false, with a warning
    // that nothing can be recorded, when it cannot be opened.
    bool open();
    // Stores a new record; its id, or 0 when it could not be stored.
    qint64 add(const SentRecord& record);
    // How a job's writing ended, and its log.
    bool setEnded(qint64 id, SentOutcome outcome, const QDateTime& ended, const QString& problem,
                  const QStringList& logLines);
    // The records started at or after since (all when since is null), newest first,
    // without message and log; nullopt when the record cannot be read.
    std::optional<QList<SentRecord>> records(const QDateTime& since = {});
    // The same records handed to take a page at a time, at most kPageSize each: a
    // listing of any length needs the memory of one page. False when the record
    // cannot be read (the pages taken before stay taken).
    static constexpr int kPageSize = 1000;
    bool eachPage(const QDateTime& since, const std::function<void(QList<SentRecord>& page)>& take);
    // What watching needs: the records not settled, and those first seen taken at or
    // after takenSince.
    QList<SentRecord> unsettled(const QDateTime& takenSince);
    // The newest record of a job name, without message and log.
    std::optional<SentRecord> find(const QString& name);
    // Fills in a record's message and log.
    bool readDetails(SentRecord& record);
    // What a look at the upload folder found out: jobs first seen gone, and jobs whose
    // writer finished them without saying so (their lock is gone, their entries there).
    bool markTaken(const QList<qint64>& ids, const QDateTime& when);
    bool markComplete(const QList<qint64>& ids);

private:
    struct Failure {
        QString text;
        bool damaged = false;
    };
    using Body = std::function<std::optional<QSqlError>(QSqlDatabase&)>;

    // Runs body on the open database. A damaged database is set aside, a new one
    // started and body run once more; any other failure is a warning of the given kind.
    bool run(Warning kind, const Body& body);
    std::optional<Failure> openOnce();
    void close();
    bool setAside();
    // Whether each of the database's log files is a plain file of its own, or missing.
    bool sideFilesArePlain() const;
    void warn(Warning warning, const QString& detail) const;

    QString m_path;
    Warn m_warn;
    QString m_connection; // the open connection's name; empty while closed
};
