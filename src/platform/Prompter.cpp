#include "platform/Prompter.h"

PromptAnswer Prompter::show(PromptKind kind, const QString& caption, const QString& text)
{
    const Prompt prompt{kind, caption, text};
    m_shown.append(prompt);
    if (!m_queued.isEmpty())
        return m_queued.takeFirst();
    if (m_presenter)
        return m_presenter(prompt);
    // Nobody to ask: a confirmation counts as declined, so nothing happens unasked.
    return kind == PromptKind::Confirm ? PromptAnswer::No : PromptAnswer::Ok;
}

void Prompter::error(const QString& text, const QString& caption) { show(PromptKind::Error, caption, text); }

void Prompter::warning(const QString& text, const QString& caption) { show(PromptKind::Warning, caption, text); }

bool Prompter::confirm(const QString& text)
{
    return show(PromptKind::Confirm, QStringLiteral("Confirm"), text) == PromptAnswer::Yes;
}

void Prompter::plain(const QString& caption, const QString& text) { show(PromptKind::Plain, caption, text); }
