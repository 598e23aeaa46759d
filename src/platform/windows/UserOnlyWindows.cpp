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

struct LocalFreer {
    void operator()(void* p) const { ::LocalFree(p); }
};
using SecurityDescriptor = std::unique_ptr<void, LocalFreer>;

// A protected access list (nothing inherited from the folder above) that lets this
// user alone in; inherit says how folders pass it on ("OICI"), empty for a file. Null
// when this user cannot be told.
SecurityDescriptor userAlone(const wchar_t* inherit)
{
    PSECURITY_DESCRIPTOR sd = nullptr;
    LPWSTR me = nullptr;
    if (!thisUser().empty() && ::ConvertSidToStringSidW(const_cast<BYTE*>(thisUser().data()), &me)) {
        const std::wstring sddl = L"D:P(A;" + std::wstring(inherit) + L";FA;;;" + std::wstring(me) + L")";
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd, nullptr);
        ::LocalFree(me);
    }
    return SecurityDescriptor(sd);
}

std::wstring nativeOf(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// Opened as it stands: a link (reparse point) is opened itself, never what it leads to.
HANDLE openItself(const QString& path, DWORD access)
{
    return ::CreateFileW(nativeOf(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

Entry entryOf(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info))
        return Entry::Other;
    const DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    return (info.dwFileAttributes & notPlain) == 0 && info.nNumberOfLinks == 1 ? Entry::PlainFile : Entry::Other;
}

Entry failed(const QString& path, DWORD error, QString* text)
{
    *text = QStringLiteral("%1: %2").arg(winerr::text(error), path);
    return Entry::Missing;
}

} // namespace

Entry entryAt(const QString& path)
{
    const HANDLE file = openItself(path, FILE_READ_ATTRIBUTES);
    if (file == INVALID_HANDLE_VALUE)
        return Entry::Missing;
    const Entry entry = entryOf(file);
    ::CloseHandle(file);
    return entry;
}

Entry makePrivateFile(const QString& path, QString* error)
{
    const SecurityDescriptor sd = userAlone(L"");
    if (!sd)
        return failed(path, ::GetLastError(), error);
    // Twice: another process may make the file between the look and the making.
    for (int round = 0; round < 2; ++round) {
        // An existing file gets the access list through a handle of its own (closing
        // it leaves the database's locks alone: they belong to its own handle here).
        const HANDLE file = openItself(path, READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES);
        if (file != INVALID_HANDLE_VALUE) {
            Entry entry = entryOf(file);
            PACL dacl = nullptr;
            BOOL present = FALSE, defaulted = FALSE;
            ::GetSecurityDescriptorDacl(sd.get(), &present, &dacl, &defaulted);
            const DWORD rc = entry != Entry::PlainFile
                                 ? ERROR_SUCCESS
                                 : ::SetSecurityInfo(file, SE_FILE_OBJECT,
                                                     DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                                     nullptr, nullptr, dacl, nullptr);
            ::CloseHandle(file);
            return rc == ERROR_SUCCESS ? entry : failed(path, rc, error);
        }
        if (::GetLastError() != ERROR_FILE_NOT_FOUND)
            return failed(path, ::GetLastError(), error);
        // A new file is its owner's alone from the start.
        SECURITY_ATTRIBUTES sa{sizeof sa, sd.get(), FALSE};
        const HANDLE made = ::CreateFileW(nativeOf(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, &sa, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (made == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS)
            continue;
        if (made == INVALID_HANDLE_VALUE)
            return failed(path, ::GetLastError(), error);
        ::CloseHandle(made);
        return Entry::PlainFile;
    }
    return failed(path, ERROR_FILE_EXISTS, error);
}

QString privateFolder(const QString& parent, const QString& name, QString* error)
{
    if (parent.isEmpty()) {
        *error = QStringLiteral("no runtime folder");
        return {};
    }
    const QString path = QDir(parent).filePath(name);
    const std::wstring native = nativeOf(path);
    // Made for its owner alone from the start: a protected access list that lets only
    // this user in. An existing one is checked below.
    const SecurityDescriptor sd = userAlone(L"OICI");
    SECURITY_ATTRIBUTES sa{sizeof sa, sd.get(), FALSE};
    ::CreateDirectoryW(native.c_str(), sd ? &sa : nullptr);

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
