#pragma once
// The list a user picks the language from: each language under its own name, in the
// list's fixed order, and how a list entry and a language key find each other.
#include <QStringList>

// "Deutsch", "English", "Français", "Nederlands", "Svenska".
const QStringList& LanguageListItems();

// The entry a language key selects: the last entry whose upper-cased name equals the
// upper-cased key; entry 0 ("Deutsch") when none does.
int LanguageListIndex(const QString& languageName);

// The language key an entry gives: its name with the ASCII letters upper-cased, so
// "Français" gives "FRANçAIS". An index outside the list gives entry 0's key.
QString LanguageKeyOfEntry(int index);
