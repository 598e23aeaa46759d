#pragma once
// Small text rules used throughout.
#include <QString>

// Upper-cases the ASCII letters a to z only; every other character stays.
QString asciiUpper(const QString& text);

// The value of an ASCII digit (0-9, then a-z or A-Z for 10 and up) in base, or -1.
int asciiDigit(QChar c, int base);

// The program's conversion of a text to a whole number: optional leading blanks, an
// optional sign, decimal digits (or '$' and hex digits), nothing after them. Anything
// else, the empty text included, throws ConversionError with the text.
qint32 toInteger(const QString& text);

// The first n characters of text, or the whole text when it is shorter.
QString leftChars(const QString& text, int n);

// Whether c is a control character: C0 (U+0000 to U+001F), DEL or C1 (U+0080 to U+009F).
bool isControl(QChar c);

// A text for a terminal, with every control character shown as an escape ("\e", "\n",
// "\r", "\t", "\x01", "\x7f", "\u0085"), so that nothing a stranger put into a name
// can move the cursor, set the title or start a line of its own.
enum class Escaping {
    Field, // a name or field: backslashes doubled too, so an escape cannot be forged
    Lines, // the program's own lines around such fields: line ends and tabs stay
    Path,  // a path: as a field, but where '\' separates folders (Windows) it stays single;
           // a Windows name holds no control character, so no escape can be forged there
};
QString escapedControls(const QString& text, Escaping how = Escaping::Field);

// The position of the first control character in text, or -1; a tab passes when
// tabs are allowed (a message's lines may hold them).
qsizetype firstControl(const QString& text, bool allowTab = false);
// A control character as a message names it: "a line break (U+000A)".
QString controlText(QChar c);
