#pragma once
// Counting and sizing the selection, the summary in the Send page's log and the check
// against the maximum size. The sizes come from the job's copy plan, made by one walk
// of the selection; Finish copies that same plan.
#include "util/CopyPlan.h"

#include <QtGlobal>
struct Client;

enum class RefusalReason { None = 0, TooLarge = 1, NothingSelected = 2 };

struct SummaryResult {
    bool mayGo = true;
    RefusalReason reason = RefusalReason::None;
    CopyPlan plan; // what a job made now would copy
};

struct SelectionCounts {
    quint32 files = 0;
    quint32 folders = 0;
};

SelectionCounts CountEntries(const Client& client);
// The walk of the whole selection (the client's upload folder is never part of it).
CopyPlan PlanSelection(const Client& client);
qint64 SizeOfFileEntries(const Client& client, const CopyPlan& plan);   // whole megabytes
qint64 SizeOfFolderEntries(const Client& client, const CopyPlan& plan); // whole megabytes

// Clears the log, writes the summary, enables or disables Finish and answers whether
// the job may go, with the plan it made. Throws ConversionError for a maximum size
// that is no whole number.
SummaryResult MakeSummary(Client& client);
