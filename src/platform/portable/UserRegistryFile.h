#pragma once
// The settings store as a private text file (on POSIX systems
// $XDG_CONFIG_HOME/TROVIK/PVX2007.ini): NAME=value lines under one [PVX2007] heading,
// names stored upper-cased.
#include "platform/UserRegistry.h"

class UserRegistryFile final : public UserRegistry {
public:
    explicit UserRegistryFile(QString filePath) : m_path(std::move(filePath)) {}

    QString location() const override { return m_path; }
    bool keyExists() const override;
    QString read(const QString& name) const override;
    void write(const QString& name, const QString& text) const override;

private:
    QString m_path;
};
