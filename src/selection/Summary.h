#pragma once
// Counting and sizing the selection, the summary in the Send page's log and the check
// against the maximum size.
#include <QtGlobal>
struct Client;

enum class RefusalReason { None = 0, TooLarge = 1, NothingSelected = 2 };

struct SummaryResult {
    bool mayGo = true;
    RefusalReason reason = RefusalReason::None;
};

struct SelectionCounts {
    quint32 files = 0;
    quint32 folders = 0;
};

SelectionCounts CountEntries(const Client& client);
qint64 SizeOfFileEntries(const Client& client);   // whole megabytes
qint64 SizeOfFolderEntries(const Client& client); // whole megabytes

// Clears the log, writes the summary, enables or disables Finish and answers whether
// the job may go. Throws ConversionError for a maximum size that is no whole number.
SummaryResult MakeSummary(Client& client);
