#pragma once
// Waiting for the server to take a job: the job's upload folder is looked at again and
// again until the job is gone, has failed, or the time is up.
#include "sent/SentRecord.h"

#include <functional>

class SentStore;

enum class WaitEnd {
    Taken,    // gone from the upload folder
    Failed,   // refused, failed, or left locked: the server will not take it
    TimedOut, // still there when the time was up
    Stopped,  // stop() said so
};

// Waits for record's job. timeoutMs < 0 waits without limit. While its writer may still
// be at work the record is read again from store (when given; the job's taken time goes
// there too). record holds the last state seen.
WaitEnd WaitUntilTaken(SentRecord& record, SentStore* store, int timeoutMs, const std::function<bool()>& stop = {},
                       int pollMs = 250);
