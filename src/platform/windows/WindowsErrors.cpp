#include "platform/windows/WindowsErrors.h"

namespace winerr {

QString text(DWORD code)
{
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString out = n != 0 ? QString::fromWCharArray(buffer, int(n)).trimmed()
                         : QStringLiteral("Error %1").arg(code);
    ::LocalFree(buffer);
    return out;
}

} // namespace winerr
