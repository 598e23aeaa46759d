#include "app/gui/CopyProgressWindow.h"

#include "client/ClientState.h"
#include "i18n/ControlTexts.h"
#include "i18n/LanguageLocale.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Events are turned at most this often; between them the copy runs at full speed.
constexpr int kRepaintMs = 40;
} // namespace

CopyProgressWindow::CopyProgressWindow(QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      m_name(new QLabel(this)),
      m_files(new QLabel(this)),
      m_bytes(new QLabel(this)),
      m_rate(new QLabel(this)),
      m_timeLeft(new QLabel(this)),
      m_silent(new QLabel(this)),
      m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)),
      m_texts(CopyWindowTextsFor(QString())),
      m_locale(LanguageLocale(QString()))
{
    setObjectName(QStringLiteral("CopyProgressWindow"));
    setWindowTitle(kApplicationTitle);
    m_name->setObjectName(QStringLiteral("CopyCurrentName"));
    m_files->setObjectName(QStringLiteral("CopyFiles"));
    m_bytes->setObjectName(QStringLiteral("CopyBytes"));
    m_rate->setObjectName(QStringLiteral("CopyRate"));
    m_timeLeft->setObjectName(QStringLiteral("CopyTimeLeft"));
    m_silent->setObjectName(QStringLiteral("CopySilent"));
    m_silent->setWordWrap(true);
    m_silent->hide();
    m_bar->setObjectName(QStringLiteral("CopyBar"));
    m_cancel->setObjectName(QStringLiteral("CopyCancel"));
    m_name->setTextFormat(Qt::PlainText);
    m_name->setMinimumWidth(380);
    m_name->setWordWrap(false);
    m_bar->setRange(0, 1000);
    m_cancel->setAutoDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_name);
    layout->addWidget(m_bar);
    layout->addWidget(m_files);
    layout->addWidget(m_bytes);
    layout->addWidget(m_rate);
    layout->addWidget(m_timeLeft);
    layout->addWidget(m_silent);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_cancelled = true;
        m_cancel->setEnabled(false);
    });
}

void CopyProgressWindow::start(const QString& languageName, const QString& cancelCaption)
{
    m_texts = CopyWindowTextsFor(languageName);
    m_locale = LanguageLocale(languageName);
    m_cancel->setText(cancelCaption);
    const ControlTable& controls = ControlTextsFor(languageName);
    m_bar->setAccessibleName(controls.copyProgress.toString());
    m_bar->setToolTip(controls.copyProgressTip.toString());
    m_cancelled = false;
    m_cancel->setEnabled(true);
    m_name->clear();
    m_files->clear();
    m_bytes->clear();
    m_rate->clear();
    m_timeLeft->clear();
    m_silent->hide();
    m_bar->setValue(0);
    m_sincePaint.invalidate();
    m_pace.reset();
}

void CopyProgressWindow::finish() { hide(); }

bool CopyProgressWindow::report(const CopyProgress& p)
{
    if (!isVisible()) {
        show();
        raise();
        activateWindow();
        m_cancel->setFocus();
    }
    if (!m_pace) {
        m_pace.emplace(p.filesTotal, p.bytesTotal);
        m_sinceStart.start();
    }
    if (!m_sincePaint.isValid() || m_sincePaint.elapsed() >= kRepaintMs) {
        auto size = [this](qint64 bytes) {
            return m_locale.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
        };
        m_pace->update(m_sinceStart.elapsed(), p.filesDone, p.bytesDone);
        m_name->setText(m_texts.copying.arg(p.currentName));
        m_files->setText(m_texts.files.arg(m_locale.toString(p.filesDone), m_locale.toString(p.filesTotal)));
        m_bytes->setText(m_texts.bytes.arg(size(p.bytesDone), size(p.bytesTotal)));
        m_bar->setValue(int(m_pace->fraction() * 1000.0));
        if (const qint64 left = m_pace->secondsLeft(); left >= 0) {
            m_rate->setText(m_texts.rate.arg(m_locale.toString(qRound64(m_pace->filesPerSecond())),
                                             size(qRound64(m_pace->bytesPerSecond()))));
            m_timeLeft->setText(m_texts.timeLeft.arg(
                QStringLiteral("%1:%2:%3")
                    .arg(left / 3600)
                    .arg(left / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(left % 60, 2, 10, QLatin1Char('0'))));
        }
        // A share that stalls: the window says so, and keeps painting meanwhile.
        const bool silent = p.silentSeconds >= kSilentSecondsShown;
        if (silent)
            m_silent->setText(m_texts.silent.arg(p.silentSeconds));
        m_silent->setVisible(silent);
        // Keep painting and let Cancel through; the main window is disabled meanwhile.
        QCoreApplication::processEvents();
        m_sincePaint.restart();
    }
    return !m_cancelled;
}

CopyObserver CopyProgressWindow::observer()
{
    return [this](const CopyProgress& p) { return report(p); };
}

void CopyProgressWindow::closeEvent(QCloseEvent* event)
{
    // The close box means Cancel; the window goes when the copy has stopped.
    m_cancelled = true;
    m_cancel->setEnabled(false);
    event->ignore();
}

void CopyProgressWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape cancels, like the Cancel button and the close box.
    if (event->key() == Qt::Key_Escape) {
        m_cancel->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
