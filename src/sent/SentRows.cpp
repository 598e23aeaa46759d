#include "sent/SentRows.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlQuery>

namespace sentrows {

const QString kListColumns =
    QStringLiteral("id, name, upload_folder, started, ended, outcome, problem, files, folders, bytes, recipients, "
                   "subject, expire_hours, encrypted, self_extracting, taken");

// A text as SQLite takes it: a null QString would be bound as NULL.
QVariant boundText(const QString& text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

QVariant msOf(const QDateTime& time)
{
    return time.isValid() ? QVariant(time.toMSecsSinceEpoch()) : QVariant(QMetaType(QMetaType::LongLong));
}

QDateTime timeOf(const QVariant& value)
{
    return value.isNull() ? QDateTime() : QDateTime::fromMSecsSinceEpoch(value.toLongLong(), Qt::UTC);
}

QString jsonOf(const QStringList& list)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(list)).toJson(QJsonDocument::Compact));
}

QStringList listOf(const QVariant& value)
{
    // The arrays are written compact: without a backslash no text in them holds a
    // quote, so they split at the quotes (a year of records is read at once).
    const QString text = value.toString();
    if (text.startsWith(QLatin1String("[\"")) && text.endsWith(QLatin1String("\"]")) && !text.contains(u'\\'))
        return text.mid(2, text.size() - 4).split(QStringLiteral("\",\""));
    if (text == QLatin1String("[]"))
        return {};
    const QJsonArray array = QJsonDocument::fromJson(value.toString().toUtf8()).array();
    QStringList list;
    list.reserve(array.size());
    for (const QJsonValue& v : array)
        list.append(v.toString());
    return list;
}

SentRecord recordOf(const QSqlQuery& q)
{
    SentRecord r;
    r.id = q.value(0).toLongLong();
    r.name = q.value(1).toString();
    r.uploadFolder = q.value(2).toString();
    r.started = timeOf(q.value(3));
    r.ended = timeOf(q.value(4));
    r.outcome = OutcomeFromKey(q.value(5).toString()).value_or(SentOutcome::Writing);
    r.problem = q.value(6).toString();
    r.files = q.value(7).toLongLong();
    r.folders = q.value(8).toLongLong();
    r.bytes = q.value(9).toLongLong();
    r.recipients = listOf(q.value(10));
    r.subject = q.value(11).toString();
    r.expireHours = q.value(12).toString();
    r.encrypted = q.value(13).toBool();
    r.selfExtracting = q.value(14).toBool();
    r.taken = timeOf(q.value(15));
    return r;
}

// Reads every row of a listing query whose values are bound already.
std::optional<QSqlError> readRecords(QSqlQuery& q, QList<SentRecord>& records)
{
    q.setForwardOnly(true);
    if (!q.exec())
        return q.lastError();
    while (q.next())
        records.append(recordOf(q));
    // A row that cannot be read ends the loop as the last one would: ask.
    if (q.lastError().isValid())
        return q.lastError();
    return std::nullopt;
}

} // namespace sentrows
