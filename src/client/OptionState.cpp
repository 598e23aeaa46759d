#include "client/OptionState.h"

#include "platform/Text.h"

// Literals, not file-level constants: other files' constants are made from these
// before this file's would be.
QString OptionState::word(bool checked) { return checked ? QStringLiteral("ENABLED") : QStringLiteral("DISABLED"); }

QString OptionState::text() const { return locked ? word(checked) + QStringLiteral(",LOCKED") : word(checked); }

std::optional<OptionState> OptionState::fromText(const QString& text)
{
    const QString upper = asciiUpper(text);
    for (const OptionState state : {OptionState{true, false}, OptionState{false, false}, OptionState{true, true},
                                    OptionState{false, true}}) {
        if (upper == state.text())
            return state;
    }
    return std::nullopt;
}

OptionState OptionState::fromExactText(const QString& text)
{
    if (text == OptionState{true, true}.text())
        return {true, true};
    if (text == OptionState{false, true}.text())
        return {false, true};
    return {text == word(true), false};
}
