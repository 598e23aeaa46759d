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
// Throws UserError when there is no policy file.
QString policyUploadFolder(const QString& policyOverride);
// --policy FILE, which every command takes.
QCommandLineOption policyOption();
// The folder a command works on: its FOLDER argument, else the policy file's upload
// folder. Throws as policyUploadFolder does.
QString folderArgument(const QCommandLineParser& parser, const QCommandLineOption& policy);

} // namespace cli
