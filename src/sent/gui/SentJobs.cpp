#include "sent/gui/SentJobs.h"

#include "client/Client.h"
#include "client/UserValues.h"
#include "i18n/LanguageLocale.h"
#include "i18n/SentJobsTexts.h"
#include "platform/Errors.h"
#include "sent/SentMonitor.h"
#include "sent/SentRecorder.h"
#include "sent/gui/SentJobsWindow.h"
#include "sent/gui/TakenNotifier.h"

#include <QTimer>
#include <QWidget>

namespace {
// The window's size in the user's settings: "WIDTHxHEIGHT".
const QString& kSizeValue = uservalues::SentJobsWindow;
const QSize kDefaultSize(760, 420);
} // namespace

SentJobs::SentJobs(Client& client, QWidget* owner)
    : m_client(client), m_owner(owner),
      m_store(SentStore::pathIn(client.state.UserDataFolder),
              [this](SentStore::Warning warning, const QString& detail) { warn(warning, detail); }),
      m_recorder(std::make_unique<SentRecorder>(m_store)), m_monitor(new SentMonitor(m_store, this))
{
    connect(m_monitor, &SentMonitor::jobTaken, this, &SentJobs::jobTaken);
    connect(m_monitor, &SentMonitor::looked, this, [this] {
        if (m_window && m_window->isVisible())
            m_window->refresh();
    });
}

SentJobs::~SentJobs()
{
    // Both read the store, which goes with this object.
    delete m_window;
    delete m_monitor;
}

JobObserver* SentJobs::recorder()
{
    // Opened before the job begins (watching has opened it already, as a rule); one
    // that cannot be opened is said once, and the job goes unrecorded.
    return m_store.open() ? m_recorder.get() : nullptr;
}

SentJobsWindow* SentJobs::window() const { return m_window; }

void SentJobs::startWatching(int delayMs)
{
    QTimer::singleShot(delayMs, this, [this] {
        if (m_monitor->isStarted())
            return;
        m_monitor->watchAlso(m_client.state.UploadFolder);
        m_monitor->start();
    });
}

void SentJobs::openWindow()
{
    if (!m_window) {
        m_window = new SentJobsWindow(m_store, m_owner);
        QSize size = kDefaultSize;
        const QStringList stored = m_client.registry->read(kSizeValue).split(u'x');
        if (stored.size() == 2 && stored[0].toInt() > 0 && stored[1].toInt() > 0)
            size = QSize(stored[0].toInt(), stored[1].toInt());
        m_window->resize(size);
        // First over the main window; later where the user left it.
        QRect frame = m_window->frameGeometry();
        frame.moveCenter(m_owner->frameGeometry().center());
        m_window->move(frame.topLeft());
        connect(m_window, &SentJobsWindow::hiddenAt, this, &SentJobs::windowHidden);
    }
    const QString language = m_client.state.LanguageName;
    m_window->setTexts(SentJobsTextsFor(language), LanguageLocale(language));
    m_window->refresh();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    // Opened before watching began: it begins now, so that the window stays current.
    if (!m_monitor->isStarted()) {
        m_monitor->watchAlso(m_client.state.UploadFolder);
        m_monitor->start();
    }
}

void SentJobs::windowHidden(const QSize& size)
{
    const QString value = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
    if (!m_client.settingsWritable || m_client.registry->read(kSizeValue) == value)
        return;
    try {
        m_client.registry->write(kSizeValue, value);
    } catch (const UserError&) {
        // Deliberately quiet: a size that is not kept is no error worth a box, and the
        // settings store reports its failures when the settings themselves are saved.
    }
}

void SentJobs::warn(SentStore::Warning warning, const QString& detail)
{
    const SentJobsTexts t = SentJobsTextsFor(m_client.state.LanguageName);
    const QString& text = warning == SentStore::Warning::NotRecorded ? t.notRecorded
                          : warning == SentStore::Warning::NotRead   ? t.notRead
                                                                     : t.setAside;
    // A record that cannot be read stays so for a while: said once, not at every look.
    const QString line = text.arg(detail);
    if (warning == SentStore::Warning::NotRead && line == m_lastReadWarning)
        return;
    if (warning == SentStore::Warning::NotRead)
        m_lastReadWarning = line;
    m_client.form.addStatusLine(line);
}

void SentJobs::jobTaken(const SentRecord& record)
{
    takennotifier::notify(m_client.state.ProductTitle,
                          TakenNotificationText(SentJobsTextsFor(m_client.state.LanguageName), record));
}
