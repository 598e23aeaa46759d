// The user's own folder and the user's own processes on Windows, told by the security
// identifier (SID) of the user a process or a folder belongs to.
#include "platform/UserOnly.h"

#include "platform/windows/WindowsErrors.h"

#include <QDir>

#include <memory>
#include <vector>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

namespace useronly {

namespace {

// The SID of the user that process runs as; empty when it cannot be told.
std::vector<BYTE> userOf(HANDLE process)
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    std::vector<BYTE> sid;
    if (size != 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        PSID user = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
        const auto* bytes = static_cast<const BYTE*>(user);
        sid.assign(bytes, bytes + ::GetLengthSid(user));
    }
    ::CloseHandle(token);
    return sid;
}

const std::vector<BYTE>& thisUser()
{
    static const std::vector<BYTE> sid = userOf(::GetCurrentProcess());
    return sid;
}

bool isThisUser(PSID sid)
{
    const std::vector<BYTE>& me = thisUser();
    return sid && !me.empty() && ::IsValidSid(sid) &&
           ::EqualSid(sid, const_cast<BYTE*>(me.data())); // EqualSid takes no const
}

} // namespace

QString privateFolder(const QString& parent, const QString& name, QString* error)
{
    if (parent.isEmpty()) {
        *error = QStringLiteral("no runtime folder");
        return {};
    }
    const QString path = QDir(parent).filePath(name);
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    // Made for its owner alone from the start: a protected access list that lets only
    // this user in. An existing one is checked below.
    PSECURITY_DESCRIPTOR sd = nullptr;
    LPWSTR me = nullptr;
    if (!thisUser().empty() && ::ConvertSidToStringSidW(const_cast<BYTE*>(thisUser().data()), &me)) {
        const std::wstring sddl = L"D:P(A;OICI;FA;;;" + std::wstring(me) + L")";
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd, nullptr);
        ::LocalFree(me);
    }
    SECURITY_ATTRIBUTES sa{sizeof sa, sd, FALSE};
    ::CreateDirectoryW(native.c_str(), sd ? &sa : nullptr);
    ::LocalFree(sd);

    const DWORD attributes = ::GetFileAttributesW(native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        *error = QStringLiteral("%1: %2").arg(path, winerr::last());
        return {};
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        *error = QStringLiteral("%1 is no folder").arg(path);
        return {};
    }
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR ownerSd = nullptr;
    const DWORD rc = ::GetNamedSecurityInfoW(native.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                                             nullptr, nullptr, nullptr, &ownerSd);
    const bool mine = rc == ERROR_SUCCESS && isThisUser(owner);
    ::LocalFree(ownerSd);
    if (rc != ERROR_SUCCESS) {
        *error = QStringLiteral("%1: %2").arg(path, winerr::text(rc));
        return {};
    }
    if (!mine) {
        *error = QStringLiteral("%1 belongs to another user").arg(path);
        return {};
    }
    return path;
}

bool peerIsThisUser(qintptr socketDescriptor)
{
    // A local socket is a named pipe here; the process at its other end is asked for.
    const auto pipe = reinterpret_cast<HANDLE>(socketDescriptor);
    DWORD flags = 0;
    if (!::GetNamedPipeInfo(pipe, &flags, nullptr, nullptr, nullptr))
        return false;
    ULONG pid = 0;
    const BOOL known = (flags & PIPE_SERVER_END) ? ::GetNamedPipeClientProcessId(pipe, &pid)
                                                 : ::GetNamedPipeServerProcessId(pipe, &pid);
    if (!known || pid == 0)
        return false;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return false;
    std::vector<BYTE> peer = userOf(process);
    ::CloseHandle(process);
    return !peer.empty() && isThisUser(peer.data());
}

} // namespace useronly
