#pragma once
// The names assistive tools read out, and the tool tips, of the controls whose captions
// are arrows or that have no caption: the Select page's folder path, Up and Add buttons,
// the address book's two lists and its four move buttons, and the copy's progress bar.
// The captions themselves stay as they are.
#include "i18n/Languages.h"

// The texts for a language key; any unknown key gives English, as in the language
// tables.
inline const ControlTable& ControlTextsFor(const QString& languageName) { return LanguageFor(languageName).controls; }
