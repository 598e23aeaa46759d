#pragma once
// Checks that the configured upload folder exists and takes a folder and a file.
#include <QString>
struct Client;

// Reports the first failure of a start with its coded message and sets StartupFailed;
// once that is set, later probes do nothing.
void ProbeUploadFolder(Client& client, const QString& configuredPath);
