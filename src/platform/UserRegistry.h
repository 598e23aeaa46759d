#pragma once
// The per-user settings store: named text values under one key. Here a private INI
// file ($XDG_CONFIG_HOME/TROVIK/PVX2007.ini); value names are matched without regard
// to case (stored upper-cased). Every call opens and closes the store, nothing is
// cached, and every write replaces the file atomically.
#include <QString>

class UserRegistry {
public:
    // filePath empty: the default location for this user.
    explicit UserRegistry(QString filePath = {});

    static QString defaultPath();
    const QString& path() const { return m_path; }

    // Whether the user's key exists at all (false before the first write).
    bool keyExists() const;
    // The value, or the empty text when it is missing.
    QString read(const QString& name) const;
    // Creates the key when missing; throws IoError when the store cannot be written.
    void write(const QString& name, const QString& text) const;

private:
    QString m_path;
};
