#pragma once
// The system's own text for a Windows error code, as the user sees it.
#include <QString>

#include <windows.h>

namespace winerr {

// FormatMessage's text for code, without the trailing line end ("Access denied.").
QString text(DWORD code);
// The text of GetLastError().
inline QString last()
{
    return text(::GetLastError());
}

} // namespace winerr
