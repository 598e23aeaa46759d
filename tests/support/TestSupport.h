#pragma once
// A private world for one test: its own APPDATA, XDG_CONFIG_HOME, upload folder and a
// program path whose policy file the test writes. Nothing touches the real home.
#include "app/Client.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class TestEnv {
public:
    TestEnv();
    ~TestEnv();

    QString root() const { return m_dir.path(); }
    QString appData() const { return root() + QStringLiteral("/appdata"); }
    QString configHome() const { return root() + QStringLiteral("/config"); }
    QString upload() const { return root() + QStringLiteral("/upload"); }
    QString programPath() const { return root() + QStringLiteral("/bin/parvelaclient"); }
    QString policyPath() const { return programPath() + QStringLiteral(".INI"); }
    QString registryPath() const { return configHome() + QStringLiteral("/TROVIK/PVX2007.ini"); }
    QString userDataFolder() const { return appData() + QStringLiteral("/Parvela/"); }

    // Writes the policy file as given (bytes as they stand, Windows-1252).
    void writePolicy(const QByteArray& content) const;
    // A policy file naming the test's upload folder, plus extra lines under [POLICIES].
    void writeDefaultPolicy(const QByteArray& policies = {}) const;

    // A client whose program path, registry and prompter belong to this test.
    std::unique_ptr<Client> makeClient() const;

    // Writes a file with the given content (creating folders); returns its path.
    QString makeFile(const QString& relativePath, const QByteArray& content) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldAppData, m_oldConfig;
};

// Reads a whole file (empty when missing).
QByteArray readAll(const QString& path);
