#pragma once
// Shared by the commands: where the policy file is and how a client is prepared.
#include <QCommandLineOption>
#include <QString>

class QCommandLineParser;

struct Client;

namespace cli {

// The window program's path: parvelaclient beside this tool. Its policy file is the
// default one.
QString windowProgramPath();
// The upload folder named by the policy file (SERVERUPLOAD), without probing it.
// Throws IoError when there is no policy file or it cannot be read.
QString policyUploadFolder(const QString& policyOverride);
// --policy FILE, which every command takes.
QCommandLineOption policyOption();
// The folder a command works on: its FOLDER argument, else the policy file's upload
// folder. Throws as policyUploadFolder does.
QString folderArgument(const QCommandLineParser& parser, const QCommandLineOption& policy);
// --older-than DURATION, which jobs and clean take: how long a free lock must have gone
// unmarked before its job counts as abandoned.
QCommandLineOption olderThanOption();
// Seconds of a duration as --older-than takes it: a whole number with s, m, h or d
// after it, or minutes without a unit. -1 for anything else.
qint64 durationSeconds(const QString& text);

} // namespace cli
