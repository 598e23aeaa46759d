#pragma once
// Windows-1252, the single-byte code page of every text the program stores or hands
// to the server. A character without a Windows-1252 byte becomes '?', as Windows does.
#include <QByteArray>
#include <QString>

namespace cp1252 {

QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);
// True when every character of text has a Windows-1252 byte. On false, *firstBad
// (when given) receives the first character that has none.
bool canEncode(const QString& text, QString* firstBad = nullptr);

} // namespace cp1252
