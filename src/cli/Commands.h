#pragma once
// The parvela command-line tool: send a job, list the jobs of an upload folder, remove
// this computer's abandoned jobs, check a job descriptor, show what the policy file
// says. Each command returns the process exit code.
#include <QStringList>

namespace cli {

enum ExitCode { Sent = 0, Refused = 1, Failed = 2 };

int sendCommand(const QStringList& arguments);
int jobsCommand(const QStringList& arguments);
int checkCommand(const QStringList& arguments);
int cleanCommand(const QStringList& arguments);
int policyCommand(const QStringList& arguments);

} // namespace cli
