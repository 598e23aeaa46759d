#pragma once
// An option's state as policies, the user's settings and jobs spell it: checked or
// not, and locked by the administrator or free for the user to change. The four texts
// are "ENABLED", "DISABLED", "ENABLED,LOCKED" and "DISABLED,LOCKED".
#include <QString>
#include <optional>

struct OptionState {
    bool checked = false;
    bool locked = false;
    bool operator==(const OptionState&) const = default;

    // "ENABLED" or "DISABLED", then ",LOCKED" when locked (the settings' spelling).
    QString text() const;
    // "ENABLED" or "DISABLED" alone: what a job carries, which never knows of locks.
    static QString word(bool checked);

    // One of the four texts in any letter case (upper-cased first); nothing else.
    static std::optional<OptionState> fromText(const QString& text);
    // The four texts exactly as written: "ENABLED" checks, the two locked texts lock,
    // and any other text, a different letter case included, is unchecked and free.
    static OptionState fromExactText(const QString& text);
};
