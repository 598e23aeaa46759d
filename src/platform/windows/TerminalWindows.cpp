// A console is a terminal; a file, a pipe and the NUL device are not (the C library's
// _isatty says yes to NUL as well, so the console is asked instead).
#include "platform/Terminal.h"

#include <io.h>
#include <windows.h>

namespace terminal {

bool isTerminal(std::FILE* stream)
{
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

} // namespace terminal
