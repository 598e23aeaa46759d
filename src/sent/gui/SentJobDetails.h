#pragma once
// One sent job in full, in a window of its own: its name and upload folder, times,
// state, recipients, subject, options, how many files and folders, why it failed, its
// message and the lines of its log. It opens over the Sent jobs window; Escape or
// Ctrl+W close it.
#include "i18n/SentJobsTexts.h"
#include "sent/SentRecord.h"

#include <QLocale>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

class SentJobDetails : public QWidget {
    Q_OBJECT
public:
    explicit SentJobDetails(QWidget* parent = nullptr);

    // Shows record (with its message and log read) in the language of texts.
    void showRecord(const SentRecord& record, const QString& stateText, const SentJobsTexts& texts,
                    const QLocale& locale);
    // The record shown, in another language.
    void retranslate(const QString& stateText, const SentJobsTexts& texts, const QLocale& locale);
    // The text shown for a record.
    static QString describe(const SentRecord& record, const QString& stateText, const SentJobsTexts& texts,
                            const QLocale& locale);

private:
    SentRecord m_record;
    QPlainTextEdit* m_text;
    QPushButton* m_close;
};
