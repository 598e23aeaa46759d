#include "app/gui/CopyProgressWindow.h"

#include "client/ClientState.h"

#include <QApplication>
#include <QCloseEvent>
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
      m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("CopyProgressWindow"));
    setWindowTitle(kApplicationTitle);
    m_name->setObjectName(QStringLiteral("CopyCurrentName"));
    m_files->setObjectName(QStringLiteral("CopyFiles"));
    m_bytes->setObjectName(QStringLiteral("CopyBytes"));
    m_bar->setObjectName(QStringLiteral("CopyBar"));
    m_cancel->setObjectName(QStringLiteral("CopyCancel"));
    m_name->setTextFormat(Qt::PlainText);
    m_name->setMinimumWidth(380);
    m_name->setWordWrap(false);
    m_bar->setRange(0, 1000);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_name);
    layout->addWidget(m_bar);
    layout->addWidget(m_files);
    layout->addWidget(m_bytes);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_cancelled = true;
        m_cancel->setEnabled(false);
    });
}

QString CopyProgressWindow::sizeText(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

void CopyProgressWindow::start()
{
    m_cancelled = false;
    m_cancel->setEnabled(true);
    m_name->clear();
    m_files->clear();
    m_bytes->clear();
    m_bar->setValue(0);
    m_sincePaint.invalidate();
}

void CopyProgressWindow::finish() { hide(); }

bool CopyProgressWindow::report(const CopyProgress& p)
{
    if (!isVisible()) {
        show();
        raise();
    }
    if (!m_sincePaint.isValid() || m_sincePaint.elapsed() >= kRepaintMs) {
        m_name->setText(QStringLiteral("Copying: ") + p.currentName);
        m_files->setText(QStringLiteral("Files: %1 of %2").arg(p.filesDone).arg(p.filesTotal));
        m_bytes->setText(QStringLiteral("%1 of %2").arg(sizeText(p.bytesDone), sizeText(p.bytesTotal)));
        const double part = p.bytesTotal > 0 ? double(p.bytesDone) / double(p.bytesTotal)
            : (p.filesTotal > 0 ? double(p.filesDone) / double(p.filesTotal) : 0.0);
        m_bar->setValue(int(part * 1000.0));
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
