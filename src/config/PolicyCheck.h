#pragma once
// What the program reads from a policy file, key by key, and every line it ignores or
// value it does not recognise: for an administrator who checks a file before deploying
// it. Reading only; nothing is probed or applied.
#include "config/PolicyKeys.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct PolicyKeyReading {
    PolicyKey key;
    QString value;  // the value in effect: the file's, or the default
    int line = 0;   // the file's line that gives it; 0 for the default
    QString effect; // what the program makes of it ("on, locked"); may be empty
};

struct PolicyWarning {
    int line = 0; // 0: the whole file
    QString text;
};

struct PolicyCheck {
    QString encoding; // "Windows-1252", "UTF-8 with a byte-order mark", ...
    QString lineEnds; // "CR LF", "LF", "CR", "mixed (2 CR LF, 1 LF)" or "none"
    int lineCount = 0;
    QList<PolicyKeyReading> keys; // every key the program reads, in its order
    QList<PolicyWarning> warnings; // in the order of the file's lines
};

// The check of a policy file's content (read within kMaxPolicyFileBytes).
PolicyCheck CheckPolicy(const QByteArray& content);
