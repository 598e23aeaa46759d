#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

TestEnv::TestEnv() : m_oldAppData(qgetenv("APPDATA")), m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
{
    QVERIFY(m_dir.isValid());
    QDir().mkpath(appData());
    QDir().mkpath(configHome());
    QDir().mkpath(upload());
    QDir().mkpath(root() + QStringLiteral("/bin"));
    qputenv("APPDATA", appData().toUtf8());
    qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
}

TestEnv::~TestEnv()
{
    qputenv("APPDATA", m_oldAppData);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
}

void TestEnv::writePolicy(const QByteArray& content) const
{
    QFile f(policyPath());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

void TestEnv::writeDefaultPolicy(const QByteArray& policies) const
{
    writePolicy("[Settings]\r\nSERVERUPLOAD=" + upload().toUtf8() + "\r\n[POLICIES]\r\n" + policies);
}

std::unique_ptr<Client> TestEnv::makeClient() const
{
    auto client = std::make_unique<Client>();
    client->programPath = programPath();
    client->registry = UserRegistry(registryPath());
    return client;
}

QString TestEnv::makeFile(const QString& relativePath, const QByteArray& content) const
{
    const QString path = root() + u'/' + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
    return path;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
