#pragma once
// The per-user settings store: named text values under the user's own key
// (Software\TROVIK\PVX2007). Value names are matched without regard to case. Every call
// opens and closes the store, nothing is cached, and a write that fails leaves the
// store as it was. Each system keeps the store its own way; the build picks it.
#include <QString>

#include <memory>

class UserRegistry {
public:
    virtual ~UserRegistry() = default;

    // This system's store for this user; location names another one instead (a test's
    // own): whatever the system's store is addressed by.
    static std::unique_ptr<UserRegistry> open(const QString& location = {});

    // Where the store is, for messages.
    virtual QString location() const = 0;
    // Whether the user's key exists at all (false before the first write).
    virtual bool keyExists() const = 0;
    // The value, or the empty text when it is missing.
    virtual QString read(const QString& name) const = 0;
    // Creates the key when missing; throws IoError when the store cannot be written.
    virtual void write(const QString& name, const QString& text) const = 0;
};
