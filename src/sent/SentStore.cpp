#include "sent/SentStore.h"

#include "platform/UserOnly.h"
#include "sent/SentRows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <filesystem>
#include <limits>

using namespace sentrows;

namespace {

constexpr int kSchemaVersion = 1;
// The files SQLite keeps beside the database: its write-ahead log and that log's
// index, and the journal it writes before the log is in use.
constexpr const char* kSideFiles[] = {"-wal", "-shm", "-journal"};

int g_connections = 0;

// SQLite says a file is damaged (SQLITE_CORRUPT) or no database at all (SQLITE_NOTADB).
bool isDamage(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    return ok && (code == 11 || code == 26);
}

QString textOf(const QSqlError& error)
{
    const QString text = error.databaseText();
    return text.isEmpty() ? error.text() : text;
}

std::optional<QSqlError> failed(const QSqlQuery& q) { return q.lastError(); }

// Runs one statement.
std::optional<QSqlError> exec(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        return q.lastError();
    return std::nullopt;
}

// The table, the settings of the connection, and the end of records older than a year.
std::optional<QSqlError> prepare(QSqlDatabase& db)
{
    // Readers and writers in several processes at once; a commit waits for the disk
    // only at checkpoints, which is enough for a record that never holds up a job.
    for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL"})
        if (auto error = exec(db, QString::fromLatin1(pragma)))
            return error;
    int version = 0;
    {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("PRAGMA user_version")))
            return q.lastError();
        if (q.next())
            version = q.value(0).toInt();
    }
    if (version < kSchemaVersion) {
        const QString schema[] = {
            QStringLiteral("CREATE TABLE IF NOT EXISTS jobs ("
                           " id INTEGER PRIMARY KEY,"
                           " name TEXT NOT NULL,"
                           " upload_folder TEXT NOT NULL,"
                           " started INTEGER NOT NULL,"      // milliseconds since 1970, UTC
                           " ended INTEGER,"
                           " outcome TEXT NOT NULL,"
                           " problem TEXT NOT NULL DEFAULT '',"
                           " files INTEGER NOT NULL DEFAULT 0,"
                           " folders INTEGER NOT NULL DEFAULT 0,"
                           " bytes INTEGER NOT NULL DEFAULT 0,"
                           " recipients TEXT NOT NULL DEFAULT '[]',"  // JSON arrays of texts
                           " subject TEXT NOT NULL DEFAULT '',"
                           " expire_hours TEXT NOT NULL DEFAULT '',"
                           " encrypted INTEGER NOT NULL DEFAULT 0,"
                           " self_extracting INTEGER NOT NULL DEFAULT 0,"
                           " taken INTEGER,"
                           " message TEXT NOT NULL DEFAULT '[]',"
                           " log TEXT NOT NULL DEFAULT '[]')"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS jobs_started ON jobs (started)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS jobs_name ON jobs (name)"),
            QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion),
        };
        for (const QString& sql : schema)
            if (auto error = exec(db, sql))
                return error;
    }
    // Looked for first, so that opening takes no write lock unless there is something to remove.
    const qint64 cutoff = QDateTime::currentDateTimeUtc().addDays(-SentStore::kKeepDays).toMSecsSinceEpoch();
    QSqlQuery old(db);
    old.prepare(QStringLiteral("SELECT 1 FROM jobs WHERE started < ? LIMIT 1"));
    old.addBindValue(cutoff);
    if (!old.exec())
        return failed(old);
    if (old.next()) {
        QSqlQuery remove(db);
        remove.prepare(QStringLiteral("DELETE FROM jobs WHERE started < ?"));
        remove.addBindValue(cutoff);
        if (!remove.exec())
            return failed(remove);
    }
    return std::nullopt;
}

// Whether the file at path reads as a whole database now.
bool readsWhole(const QString& path)
{
    const QString name = QStringLiteral("parvela-sent-check-%1").arg(++g_connections);
    bool whole = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery q(db);
            whole = q.exec(QStringLiteral("PRAGMA quick_check(1)")) && q.next() &&
                    q.value(0).toString() == QLatin1String("ok");
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return whole;
}

} // namespace

SentStore::SentStore(QString path, Warn warn) : m_path(std::move(path)), m_warn(std::move(warn)) {}

SentStore::~SentStore() { close(); }

QString SentStore::pathIn(const QString& userDataFolder)
{
    return userDataFolder + QStringLiteral("sent-jobs.sqlite");
}

void SentStore::warn(Warning warning, const QString& detail) const
{
    if (m_warn)
        m_warn(warning, detail);
}

std::optional<SentStore::Failure> SentStore::openOnce()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return Failure{QStringLiteral("Qt's SQLite driver (QSQLITE) is not installed"), false};
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return Failure{QStringLiteral("Cannot make the folder %1").arg(folder), false};
    // The file is private before anything is written to it; SQLite gives its log files
    // the same permissions. A link is never followed, to another database or to any
    // file at all, and neither is a log file that is one: the record is set aside like
    // a damaged one.
    QString why;
    const useronly::Entry entry = useronly::makePrivateFile(m_path, &why);
    if (entry == useronly::Entry::Missing)
        return Failure{why, false};
    if (entry == useronly::Entry::Other || !sideFilesArePlain())
        return Failure{QStringLiteral("%1 or its log is a link, or no plain file of its own").arg(m_path), true};

    const QString name = QStringLiteral("parvela-sent-%1").arg(++g_connections);
    std::optional<Failure> failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(m_path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
        if (!db.open())
            failure = Failure{textOf(db.lastError()), isDamage(db.lastError())};
        else if (const std::optional<QSqlError> error = prepare(db))
            failure = Failure{textOf(*error), isDamage(*error)};
        if (failure)
            db.close();
    }
    if (failure) {
        QSqlDatabase::removeDatabase(name);
        return failure;
    }
    m_connection = name;
    return std::nullopt;
}

void SentStore::close()
{
    if (m_connection.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
}

bool SentStore::sideFilesArePlain() const
{
    for (const char* suffix : kSideFiles)
        if (useronly::entryAt(m_path + QLatin1String(suffix)) == useronly::Entry::Other)
            return false;
    return true;
}

bool SentStore::setAside()
{
    close();
    // Another process may have set it aside and started a new one meanwhile: a file
    // that reads whole now is kept. A link is not opened to find out.
    if (useronly::entryAt(m_path) == useronly::Entry::PlainFile && sideFilesArePlain() && readsWhole(m_path))
        return true;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = m_path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; useronly::entryAt(target) != useronly::Entry::Missing; ++n)
        target = m_path + QStringLiteral(".damaged-") + stamp + u'-' + QString::number(n);
    // Renamed as they are, links as links (Qt's rename would look through a link, and
    // copy what it leads to when it cannot rename).
    const auto rename = [](const QString& from, const QString& to) {
        std::error_code error;
        std::filesystem::rename(QFile(from).filesystemFileName(), QFile(to).filesystemFileName(), error);
        return !error;
    };
    if (!rename(m_path, target))
        return false;
    // Its log files belong to it: left here they would be taken for the new one's.
    for (const char* suffix : kSideFiles) {
        const QString side = m_path + QLatin1String(suffix);
        if (useronly::entryAt(side) != useronly::Entry::Missing && !rename(side, target + QLatin1String(suffix))) {
            std::error_code ignored; // what cannot be removed either is told at the next opening
            std::filesystem::remove(QFile(side).filesystemFileName(), ignored);
        }
    }
    warn(Warning::SetAside, target);
    return true;
}

bool SentStore::run(Warning kind, const Body& body)
{
    for (int round = 0; round < 2; ++round) {
        Failure failure;
        if (m_connection.isEmpty()) {
            if (const std::optional<Failure> f = openOnce())
                failure = *f;
        }
        if (!m_connection.isEmpty()) {
            QSqlDatabase db = QSqlDatabase::database(m_connection, false);
            const std::optional<QSqlError> error = body(db);
            if (!error)
                return true;
            failure = Failure{textOf(*error), isDamage(*error)};
        }
        if (round == 0 && failure.damaged && setAside())
            continue;
        warn(kind, failure.text);
        return false;
    }
    return false;
}

bool SentStore::open()
{
    return run(Warning::NotRecorded, [](QSqlDatabase&) -> std::optional<QSqlError> { return std::nullopt; });
}

qint64 SentStore::add(const SentRecord& r)
{
    qint64 id = 0;
    run(Warning::NotRecorded, [&](QSqlDatabase& db) -> std::optional<QSqlError> {
        QSqlQuery q(db);
        if (!q.prepare(QStringLiteral(
                "INSERT INTO jobs (name, upload_folder, started, ended, outcome, problem, files, folders, bytes, "
                "recipients, subject, expire_hours, encrypted, self_extracting, taken, message, log) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")))
            return failed(q);
        for (const QVariant& v : {boundText(r.name), boundText(r.uploadFolder), msOf(r.started), msOf(r.ended),
                                  QVariant(OutcomeKey(r.outcome)), boundText(r.problem), QVariant(r.files),
                                  QVariant(r.folders), QVariant(r.bytes), QVariant(jsonOf(r.recipients)),
                                  boundText(r.subject), boundText(r.expireHours), QVariant(int(r.encrypted)),
                                  QVariant(int(r.selfExtracting)), msOf(r.taken), QVariant(jsonOf(r.messageLines)),
                                  QVariant(jsonOf(r.logLines))})
            q.addBindValue(v);
        if (!q.exec())
            return failed(q);
        id = q.lastInsertId().toLongLong();
        return std::nullopt;
    });
    return id;
}

bool SentStore::setEnded(qint64 id, SentOutcome outcome, const QDateTime& ended, const QString& problem,
                         const QStringList& logLines)
{
    return run(Warning::NotRecorded, [&](QSqlDatabase& db) -> std::optional<QSqlError> {
        QSqlQuery q(db);
        if (!q.prepare(QStringLiteral("UPDATE jobs SET ended = ?, outcome = ?, problem = ?, log = ? WHERE id = ?")))
            return failed(q);
        q.addBindValue(msOf(ended));
        q.addBindValue(OutcomeKey(outcome));
        q.addBindValue(boundText(problem));
        q.addBindValue(jsonOf(logLines));
        q.addBindValue(id);
        if (!q.exec())
            return failed(q);
        return std::nullopt;
    });
}

bool SentStore::eachPage(const QDateTime& since, const std::function<void(QList<SentRecord>& page)>& take)
{
    // Each page starts below the last one's (started, id): one look into the index,
    // whatever the number of pages before it.
    qint64 belowStarted = std::numeric_limits<qint64>::max(), belowId = std::numeric_limits<qint64>::max();
    for (;;) {
        QList<SentRecord> page;
        const bool read = run(Warning::NotRead, [&](QSqlDatabase& db) -> std::optional<QSqlError> {
            page.clear();
            QSqlQuery q(db);
            if (!q.prepare(QStringLiteral("SELECT %1 FROM jobs WHERE started >= ? AND (started, id) < (?, ?) "
                                          "ORDER BY started DESC, id DESC LIMIT %2")
                               .arg(kListColumns)
                               .arg(kPageSize)))
                return failed(q);
            q.addBindValue(since.isValid() ? since.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min());
            q.addBindValue(belowStarted);
            q.addBindValue(belowId);
            return readRecords(q, page);
        });
        if (!read)
            return false;
        if (page.isEmpty())
            return true;
        const bool last = page.size() < kPageSize;
        belowStarted = page.last().started.toMSecsSinceEpoch();
        belowId = page.last().id;
        take(page);
        if (last)
            return true;
    }
}

std::optional<QList<SentRecord>> SentStore::records(const QDateTime& since)
{
    QList<SentRecord> records;
    if (!eachPage(since, [&records](QList<SentRecord>& page) { records.append(std::move(page)); }))
        return std::nullopt;
    return records;
}

QList<SentRecord> SentStore::unsettled(const QDateTime& takenSince)
{
    QList<SentRecord> records;
    run(Warning::NotRead, [&](QSqlDatabase& db) -> std::optional<QSqlError> {
        records.clear();
        QSqlQuery q(db);
        if (!q.prepare(QStringLiteral("SELECT %1 FROM jobs WHERE (taken IS NULL AND outcome NOT IN (?, ?)) "
                                      "OR taken >= ? ORDER BY started DESC, id DESC")
                           .arg(kListColumns)))
            return failed(q);
        q.addBindValue(OutcomeKey(SentOutcome::Refused));
        q.addBindValue(OutcomeKey(SentOutcome::FailedRemoved));
        q.addBindValue(takenSince.isValid() ? takenSince.toMSecsSinceEpoch() : std::numeric_limits<qint64>::max());
        return readRecords(q, records);
    });
    return records;
}

std::optional<SentRecord> SentStore::find(const QString& name)
{
    QList<SentRecord> records;
    run(Warning::NotRead, [&](QSqlDatabase& db) -> std::optional<QSqlError> {
        records.clear();
        QSqlQuery q(db);
        if (!q.prepare(QStringLiteral("SELECT %1 FROM jobs WHERE name = ? ORDER BY started DESC, id DESC LIMIT 1")
                           .arg(kListColumns)))
            return failed(q);
        q.addBindValue(name);
        return readRecords(q, records);
    });
    if (records.isEmpty())
        return std::nullopt;
    return records.first();
}

bool SentStore::readDetails(SentRecord& record)
{
    return run(Warning::NotRead, [&](QSqlDatabase& db) -> std::optional<QSqlError> {
        QSqlQuery q(db);
        if (!q.prepare(QStringLiteral("SELECT message, log FROM jobs WHERE id = ?")))
            return failed(q);
        q.addBindValue(record.id);
        if (!q.exec())
            return failed(q);
        if (q.next()) {
            record.messageLines = listOf(q.value(0));
            record.logLines = listOf(q.value(1));
        }
        return std::nullopt;
    });
}

namespace {

// Runs the prepared statement once for each id (bound last), in one transaction.
std::optional<QSqlError> updateEach(QSqlDatabase& db, const QString& sql, const QVariantList& first,
                                    const QList<qint64>& ids)
{
    if (!db.transaction())
        return db.lastError();
    std::optional<QSqlError> error;
    {
        QSqlQuery q(db);
        if (!q.prepare(sql))
            error = q.lastError();
        for (int i = 0; i < first.size(); ++i)
            q.bindValue(i, first[i]);
        for (qsizetype i = 0; !error && i < ids.size(); ++i) {
            q.bindValue(int(first.size()), ids[i]);
            if (!q.exec())
                error = q.lastError();
        }
    }
    if (!error && db.commit())
        return std::nullopt;
    if (!error)
        error = db.lastError();
    db.rollback();
    return error;
}

} // namespace

bool SentStore::markTaken(const QList<qint64>& ids, const QDateTime& when)
{
    if (ids.isEmpty())
        return true;
    return run(Warning::NotRead, [&](QSqlDatabase& db) {
        return updateEach(db, QStringLiteral("UPDATE jobs SET taken = ? WHERE taken IS NULL AND id = ?"),
                          {msOf(when)}, ids);
    });
}

bool SentStore::markComplete(const QList<qint64>& ids)
{
    if (ids.isEmpty())
        return true;
    return run(Warning::NotRead, [&](QSqlDatabase& db) {
        return updateEach(db, QStringLiteral("UPDATE jobs SET outcome = ? WHERE outcome = ? AND id = ?"),
                          {OutcomeKey(SentOutcome::Complete), OutcomeKey(SentOutcome::Writing)}, ids);
    });
}
