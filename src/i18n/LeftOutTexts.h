#pragma once
// The summary's lines about what a job leaves out of the selection, in each language
// (from its record, Languages.h): links that are not followed and special files (pipes,
// devices, sockets).
#include <QString>

enum class LeftOutLine { NotFollowed, SpecialFiles };

// The line's label for the language key (any unknown key gives English), starting with
// two blanks and ending in ": ", like the summary's other labels.
QString LeftOutLabel(const QString& languageName, LeftOutLine line);
