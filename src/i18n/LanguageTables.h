#pragma once
// The compiled-in texts behind LanguageTexts, one table per language, in the order
// English, Dutch, German, French, Swedish. Only LanguageTexts reads them.
#include "i18n/LanguageTexts.h"

#include <array>
#include <span>

namespace languagetables {

enum Language : int { English, Dutch, German, French, Swedish };
constexpr int kLanguageCount = 5;

// Slot n's text is at index n - 1.
using SlotTexts = std::array<const char16_t*, kSlotCount>;
extern const std::array<SlotTexts, kLanguageCount> kSlots;

struct WelcomePage {
    const char16_t* greeting;              // the heading line up to the title
    std::span<const char16_t* const> lines; // every line after the heading
};
extern const std::array<WelcomePage, kLanguageCount> kWelcome;

} // namespace languagetables
