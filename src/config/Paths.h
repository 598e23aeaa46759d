#pragma once
// Folder texts as the program composes them: a folder always ends in the separator.
#include <QString>

// text with the native separator appended when it does not already end in one
// ("/" here; a path that ends in "/" also counts on Windows, where Qt writes both).
QString WithTrailingSeparator(const QString& text);

// The user's data folder, where the memory files and the record of sent jobs lie:
// "Parvela" in the APPDATA folder, ending in the separator.
QString UserDataFolderPath();

// The policy file's path for a program file: the extension replaced by ".INI", or
// ".INI" appended when the file name has none.
QString PolicyFilePathFor(const QString& programPath);

// The policy file a program reads: the one beside it; when there is none there but
// the system's one (environment::systemPolicyFile()) exists, that one. Otherwise the
// one beside it, which is then missing.
QString LocatePolicyFile(const QString& programPath);
