#pragma once
// Command-line arguments without loss. The system hands a program bytes; a file name
// among them need not be valid text (a name made on another system, say), and decoding
// it the usual way would turn it into a different name. Such an argument keeps every
// byte that is no valid text as a stand-in character, which argumentBytes() turns back.
#include <QByteArray>
#include <QStringList>
#include <QUrl>

// The arguments, argv[0] included.
QStringList ArgumentsOf(int argc, char** argv);
// The text for bytes the system gave (an argument, a file name), by the same rule.
QString ArgumentText(const QByteArray& bytes);
// The name a local file's URL (of a drop) carries, by the same rule: the URL's own
// bytes where a name is bytes, its text where a name is text (Windows).
QString ArgumentOfUrl(const QUrl& url);
// The bytes an argument (or a path made of it) stands for.
QByteArray ArgumentBytes(const QString& argument);

// An argument (or a path made of it) to show: each byte that is no valid text as
// "\xFF", control characters escaped, so a stranger's name is never printed raw.
QString ArgumentShown(const QString& argument);
