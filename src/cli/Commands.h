#pragma once
// The parvela command-line tool: send a job, list the jobs of an upload folder, remove
// this computer's abandoned jobs, check a job descriptor, show what the policy file
// says, list the jobs this user sent. Each command returns the process exit code.
#include <QStringList>

namespace cli {

// A wait for the server ends in Sent (taken), Refused (the job failed) or NotTakenYet.
enum ExitCode { Sent = 0, Refused = 1, Failed = 2, NotTakenYet = 3 };

int sendCommand(const QStringList& arguments);
int jobsCommand(const QStringList& arguments);
int checkCommand(const QStringList& arguments);
int cleanCommand(const QStringList& arguments);
int policyCommand(const QStringList& arguments);
int sentCommand(const QStringList& arguments);

} // namespace cli
