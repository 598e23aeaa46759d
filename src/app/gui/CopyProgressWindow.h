#pragma once
// The window shown while a job's selection is copied: the part done by what the work
// costs (CopyPace), files and bytes done of the total, the rate and the time left, the
// name being copied and Cancel. The copy runs on the window's thread, so
// the observer keeps the window painted by turning the events now and then.
#include "i18n/CopyWindowTexts.h"
#include "util/CopyPace.h"
#include "util/FileCopy.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QWidget>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;

class CopyProgressWindow : public QWidget {
    Q_OBJECT
public:
    explicit CopyProgressWindow(QWidget* parent = nullptr);

    // The copy's observer: shows the progress; false once Cancel was pressed.
    bool report(const CopyProgress& progress);
    // An observer bound to this window.
    CopyObserver observer();

    bool cancelled() const { return m_cancelled; }
    // A new copy: the window takes the texts of the language (key languageName,
    // cancelCaption for its button) as it opens.
    void start(const QString& languageName, const QString& cancelCaption);
    void finish();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_name;
    QLabel* m_files;
    QLabel* m_bytes;
    QLabel* m_rate;
    QLabel* m_timeLeft;
    QLabel* m_silent;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
    CopyWindowTexts m_texts;
    QLocale m_locale;
    QElapsedTimer m_sincePaint;
    QElapsedTimer m_sinceStart;
    std::optional<CopyPace> m_pace; // from the copy's first report
    bool m_cancelled = false;
};
