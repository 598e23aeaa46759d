#pragma once
// The one place that shows message boxes: errors, warnings, confirmations and plain
// notices. The window program presents them with QMessageBox, the command-line tool on
// the terminal. Every box shown is recorded; tests queue the answers to give.
#include <QList>
#include <QString>
#include <functional>

enum class PromptKind { Error, Warning, Confirm, Plain };
enum class PromptAnswer { Ok, Yes, No };

struct Prompt {
    PromptKind kind = PromptKind::Plain;
    QString caption;
    QString text;
};

class Prompter {
public:
    using Presenter = std::function<PromptAnswer(const Prompt&)>;

    // Error box, caption "Error" unless another is given, OK.
    void error(const QString& text, const QString& caption = QStringLiteral("Error"));
    // Warning box, caption "Warning" unless another is given, OK.
    void warning(const QString& text, const QString& caption = QStringLiteral("Warning"));
    // Confirmation box, caption "Confirm", Yes and No; true on Yes.
    bool confirm(const QString& text);
    // Box without icon, the given caption, OK.
    void plain(const QString& caption, const QString& text);

    void setPresenter(Presenter presenter) { m_presenter = std::move(presenter); }

    // For tests: the next boxes are answered with these instead of being presented.
    void queueAnswers(const QList<PromptAnswer>& answers) { m_queued += answers; }
    const QList<Prompt>& shown() const { return m_shown; }
    void clearShown() { m_shown.clear(); }

private:
    PromptAnswer show(PromptKind kind, const QString& caption, const QString& text);

    Presenter m_presenter;
    QList<PromptAnswer> m_queued;
    QList<Prompt> m_shown;
};
