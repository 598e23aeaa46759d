#pragma once
// The values of the main window's controls that the program's rules read and write:
// options, sender line, subject, expiry, recipient list, message, selection, the Send
// page's log and the Finish button. The window binds its widgets to this object both
// ways; the command-line tool and the tests use it without any window.
#include "client/OptionState.h"
#include "client/Page.h"
#include "client/SelectionEntry.h"

#include <QObject>
#include <QStringList>

class ClientForm : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The options' check boxes: checked, and locked (disabled) by a policy.
    OptionState encr() const { return m_encr; }
    void setEncr(OptionState o);
    OptionState sfx() const { return m_sfx; }
    void setSfx(OptionState o);
    bool skipWelcome() const { return m_skipWelcome; }
    void setSkipWelcome(bool on);
    bool autoQuit() const { return m_autoQuit; }
    void setAutoQuit(bool on);

    // The page the window shows when it starts.
    Page startPage() const { return m_startPage; }
    void setStartPage(Page page);

    QString expireText() const { return m_expire; }
    void setExpireText(const QString& text);
    QString fromText() const { return m_from; }          // LEfrom
    void setFromText(const QString& text);
    QString toText() const { return m_to; }              // LEto
    void setToText(const QString& text);
    QString subjectText() const { return m_subject; }    // LEsubject
    void setSubjectText(const QString& text);
    QString lastPath() const { return m_lastPath; }      // folder of ShellComboBox1
    void setLastPath(const QString& path);

    // Recipient list Mto, in the order added.
    const QStringList& recipients() const { return m_recipients; }
    void setRecipients(const QStringList& list);
    void appendRecipient(const QString& text);

    // Message editor RE, line by line.
    const QStringList& messageLines() const { return m_message; }
    void setMessageLines(const QStringList& lines);

    // Drop zone CLB, in the order added, and the texts it shows.
    const QList<SelectionEntry>& selection() const { return m_selection; }
    QStringList selectionTexts() const { return SelectionTexts(m_selection); }
    void setSelection(const QList<SelectionEntry>& entries);
    void appendSelection(const SelectionEntry& entry) { appendSelection(QList<SelectionEntry>{entry}); }
    // Many at once (a hand-over of thousands of paths): one announcement for all.
    void appendSelection(const QList<SelectionEntry>& entries);

    // Send page log REsent.
    const QStringList& logLines() const { return m_log; }
    void clearLog();
    void addStatusLine(const QString& line);

    bool finishEnabled() const { return m_finishEnabled; }
    void setFinishEnabled(bool on);

    // ApplyColorScheme: the window colours its input controls (and, with includePicker,
    // the contact picker's lists); scheme numbers above 1 show as 0.
    void applyColorScheme(int scheme, bool includePicker) { Q_EMIT colorSchemeApplied(scheme, includePicker); }

    // Whether the main window is on screen (option changes are stored only then).
    bool windowVisible() const { return m_windowVisible; }
    void setWindowVisible(bool on) { m_windowVisible = on; }

Q_SIGNALS:
    void encrChanged();
    void sfxChanged();
    void skipWelcomeChanged();
    void autoQuitChanged();
    void startPageChanged();
    void expireTextChanged();
    void fromTextChanged();
    void toTextChanged();
    void subjectTextChanged();
    void lastPathChanged();
    void recipientsChanged();
    void messageChanged();
    void selectionChanged();
    // Entries were added at the end, from index first on; the rest is as it was.
    void selectionAppended(qsizetype first);
    void logCleared();
    void statusLineAdded(const QString& line);
    void finishEnabledChanged();
    void colorSchemeApplied(int scheme, bool includePicker);

private:
    OptionState m_encr, m_sfx;
    bool m_skipWelcome = false;
    bool m_autoQuit = false;
    Page m_startPage = Page::Welcome;
    QString m_expire, m_from, m_to, m_subject, m_lastPath;
    QStringList m_recipients, m_message, m_log;
    QList<SelectionEntry> m_selection;
    bool m_finishEnabled = false;
    bool m_windowVisible = false;
};
