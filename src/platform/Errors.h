#pragma once
// The errors the core throws. Every window handler and the command-line tool catch
// them in one place and show their text; nothing below that point swallows them.
#include <QString>
#include <exception>

// Base of every error that reaches the user as a message box with its own text.
class UserError : public std::exception {
public:
    explicit UserError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A file or folder operation failed: the path and the system's text for the failure.
// Windows ends its texts with a full stop ("File not found."), which goes before the
// path's colon.
class IoError : public UserError {
public:
    IoError(const QString& path, const QString& systemText)
        : UserError(withoutStop(systemText) + QStringLiteral(": ") + path), m_path(path), m_systemText(systemText) {}
    const QString& path() const noexcept { return m_path; }
    const QString& systemText() const noexcept { return m_systemText; }

private:
    static QString withoutStop(const QString& text)
    {
        return text.endsWith(u'.') ? text.chopped(1) : text;
    }
    QString m_path;
    QString m_systemText;
};

// A text that should be a whole number is not one.
class ConversionError : public UserError {
public:
    explicit ConversionError(const QString& text)
        : UserError(QStringLiteral("'%1' is not a valid integer value").arg(text)) {}
};

// The program must end now with this exit code (thrown so that nothing after the
// decision runs; caught at the outermost handler, which ends the process).
struct ProcessExit {
    int code = 0;
};
