// The arguments on Windows, where names are text: the system keeps the command line
// as UTF-16. argv holds it in the ANSI code page, where a character the code page has
// no byte for became '?', and "Łódź.txt" would name another file.
#include "platform/Arguments.h"

#include <windows.h>
#include <shellapi.h>

QStringList ArgumentsOf(int, char**)
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    QStringList arguments;
    for (int i = 0; wide && i < count; ++i)
        arguments.append(QString::fromWCharArray(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

QString ArgumentOfUrl(const QUrl& url)
{
    return url.toLocalFile(); // "file:///C:/a" is "C:/a"
}
