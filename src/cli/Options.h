#pragma once
// Shared by the commands: where the policy file is and how a client is prepared.
#include <QString>

struct Client;

namespace cli {

// The window program's path: parvelaclient beside this tool. Its policy file is the
// default one.
QString windowProgramPath();
// The upload folder named by the policy file (SERVERUPLOAD), without probing it.
// Throws UserError when there is no policy file.
QString policyUploadFolder(const QString& policyOverride);

} // namespace cli
