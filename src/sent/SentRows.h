#pragma once
// A row of the record of sent jobs and its values as SQLite keeps them: texts never
// NULL, times as milliseconds since 1970 (NULL: none), lists as compact JSON arrays.
#include "sent/SentRecord.h"

#include <QDateTime>
#include <QList>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

class QSqlQuery;

namespace sentrows {

// Every column a listing reads, in the order recordOf takes them.
extern const QString kListColumns;

QVariant boundText(const QString& text);
QVariant msOf(const QDateTime& time);
QDateTime timeOf(const QVariant& value);
QString jsonOf(const QStringList& list);
QStringList listOf(const QVariant& value);
// The record of the query's current row (its columns as kListColumns names them).
SentRecord recordOf(const QSqlQuery& q);
// Reads every row of a listing query whose values are bound already.
std::optional<QSqlError> readRecords(QSqlQuery& q, QList<SentRecord>& records);

} // namespace sentrows
