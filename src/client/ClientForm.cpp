#include "client/ClientForm.h"

// Each setter announces a change only when the value really changes, like a check
// box's toggled signal, so the window's two-way binding never loops.
namespace {
template <typename T, typename Signal>
void assign(ClientForm* form, T& field, const T& value, Signal signal)
{
    if (field == value)
        return;
    field = value;
    Q_EMIT(form->*signal)();
}
} // namespace

void ClientForm::setEncr(OptionState o) { assign(this, m_encr, o, &ClientForm::encrChanged); }
void ClientForm::setSfx(OptionState o) { assign(this, m_sfx, o, &ClientForm::sfxChanged); }
void ClientForm::setSkipWelcome(bool on) { assign(this, m_skipWelcome, on, &ClientForm::skipWelcomeChanged); }
void ClientForm::setAutoQuit(bool on) { assign(this, m_autoQuit, on, &ClientForm::autoQuitChanged); }
void ClientForm::setStartPage(Page page) { assign(this, m_startPage, page, &ClientForm::startPageChanged); }
void ClientForm::setExpireText(const QString& t) { assign(this, m_expire, t, &ClientForm::expireTextChanged); }
void ClientForm::setFromText(const QString& t) { assign(this, m_from, t, &ClientForm::fromTextChanged); }
void ClientForm::setToText(const QString& t) { assign(this, m_to, t, &ClientForm::toTextChanged); }
void ClientForm::setSubjectText(const QString& t) { assign(this, m_subject, t, &ClientForm::subjectTextChanged); }
void ClientForm::setLastPath(const QString& p) { assign(this, m_lastPath, p, &ClientForm::lastPathChanged); }
void ClientForm::setRecipients(const QStringList& l) { assign(this, m_recipients, l, &ClientForm::recipientsChanged); }
void ClientForm::setMessageLines(const QStringList& l) { assign(this, m_message, l, &ClientForm::messageChanged); }
void ClientForm::setSelection(const QList<SelectionEntry>& e) { assign(this, m_selection, e, &ClientForm::selectionChanged); }
void ClientForm::setFinishEnabled(bool on) { assign(this, m_finishEnabled, on, &ClientForm::finishEnabledChanged); }

void ClientForm::appendRecipient(const QString& text)
{
    m_recipients.append(text);
    Q_EMIT recipientsChanged();
}

void ClientForm::appendSelection(const QList<SelectionEntry>& entries)
{
    if (entries.isEmpty())
        return;
    const qsizetype first = m_selection.size();
    m_selection.append(entries);
    Q_EMIT selectionAppended(first);
}

void ClientForm::clearLog()
{
    m_log.clear();
    Q_EMIT logCleared();
}

void ClientForm::addStatusLine(const QString& line)
{
    m_log.append(line);
    Q_EMIT statusLineAdded(line);
}
