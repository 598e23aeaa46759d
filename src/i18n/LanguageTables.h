#pragma once
// The compiled-in slot texts and welcome pages, one table per language, in the order
// English, Dutch, German, French, Swedish. Each language's record (Languages.h) points
// at its own; only the records and LanguageTexts read them.
#include "i18n/LanguageTexts.h"

#include <QString>
#include <array>
#include <span>

// One text of a table. It has no default value, so a table or a language record that
// leaves a text out does not compile.
struct TableText {
    constexpr TableText(const char16_t* text) : utf16(text) {}
    QString toString() const { return QString::fromUtf16(utf16); }
    const char16_t* utf16;
};

namespace languagetables {

enum Language : int { English, Dutch, German, French, Swedish, LanguageCount };
constexpr int kLanguageCount = LanguageCount;

// Slot n's text is at index n - 1.
using SlotTexts = std::array<TableText, kSlotCount>;
extern const std::array<SlotTexts, kLanguageCount> kSlots;

struct WelcomePage {
    TableText greeting;               // the heading line up to the title
    std::span<const TableText> lines; // every line after the heading
};
extern const std::array<WelcomePage, kLanguageCount> kWelcome;

} // namespace languagetables
