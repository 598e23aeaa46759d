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
