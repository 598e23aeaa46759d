#pragma once
// How parvela shows recorded jobs: as lines for a person (every text from a record
// with its control characters escaped) or as JSON, and the end of a wait.
#include "sent/SentRecord.h"
#include "sent/SentStore.h"
#include "sent/SentWait.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

namespace cli {

// A name or field from the record as the terminal may show it: its control characters
// escaped (see escapedControls).
QString escapedForTerminal(const QString& text);

// One table, newest first: time, state, size, recipients, subject and job name; a
// failed job's reason on a line of its own.
QString SentTable(const QList<SentRecord>& records);
QJsonObject SentJson(const SentRecord& record);
// The one line after a wait, and the exit code that goes with it (0 taken, 1 failed,
// 3 still not taken when the time was up).
QString WaitLine(const SentRecord& record, WaitEnd end, int timeoutSeconds);
int WaitExitCode(WaitEnd end);
// The value of --timeout: whole seconds, 0 to a year; nullopt for anything else, which
// TimeoutUsage explains.
std::optional<int> TimeoutSeconds(const QString& text);
QString TimeoutUsage(const QString& text);
// Warnings of the record of sent jobs on standard error, in a language's words.
SentStore::Warn StoreWarnings(const QString& languageName);

} // namespace cli
