#pragma once
// The cards of a vCard file as the programs that write them mean them: versions 2.1,
// 3.0 and 4.0; lines ending in CR LF, LF or CR; folded lines; quoted-printable values
// (soft line breaks included) in the character set their CHARSET parameter names; a
// file in UTF-16 (after its byte-order mark, or told by its zero bytes), else UTF-8 or
// Windows-1252 decided card by card on the unfolded lines, so that one card from an
// older program does not garble the others.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct Contact {
    QString fullName;
    QString email; // the preferred address, else the first; empty when the card has none

    // The picker's entry: the name, " <", the address, ">".
    QString entryText() const;
    bool operator==(const Contact&) const = default;
};

struct VCardParse {
    QList<Contact> contacts; // in the file's order
    QStringList problems;    // one line each: a name or address skipped, a character set not known
};

// A logical line (after unfolding) longer than this is skipped, and only that
// property: a photo is often longer, and the picker needs none.
constexpr qsizetype kMaxVCardLineBytes = 64 * 1024;

// fileName names the file in problems. wholeFile: bytes end where the file ends, so a
// last card without its END still counts; otherwise reading stopped early and the
// card the end cut is left out.
VCardParse ParseVCards(const QByteArray& bytes, bool wholeFile, const QString& fileName);
