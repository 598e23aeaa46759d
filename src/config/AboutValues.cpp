#include "config/AboutValues.h"

#include "client/Client.h"

#include <QCoreApplication>

AboutValues ReadAboutValues(const Client& client)
{
    const ClientState& state = client.state;
    AboutValues v;
    v.applicationLine = state.ProductTitle + u' ' + state.VersionText;
    v.programFile = client.programPath.isEmpty() ? QCoreApplication::applicationFilePath() : client.programPath;
    v.policyFile = state.PolicyFilePath;
    v.uploadFolder = state.UploadFolder;
    v.policyVersion = state.PolicyVersion;
    v.maxSize = state.MaxSize;
    return v;
}
