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
#include "platform/gui/FramePlace.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {
// The window's size and place in the user's settings: "WIDTHxHEIGHT" and "X,Y".
const QString& kSizeValue = uservalues::SentJobsWindow;
const QString& kPlaceValue = uservalues::SentJobsWindowPlace;
const QSize kDefaultSize(760, 420);

QSize storedSize(const QString& value)
{
    static const QRegularExpression form(QStringLiteral("^([1-9][0-9]{0,4})x([1-9][0-9]{0,4})$"));
    const QRegularExpressionMatch m = form.match(value);
    return m.hasMatch() ? QSize(m.captured(1).toInt(), m.captured(2).toInt()) : kDefaultSize;
}

std::optional<QPoint> storedPlace(const QString& value)
{
    static const QRegularExpression form(QStringLiteral("^(-?[0-9]{1,5}),(-?[0-9]{1,5})$"));
    const QRegularExpressionMatch m = form.match(value);
    if (!m.hasMatch())
        return std::nullopt;
    return QPoint(m.captured(1).toInt(), m.captured(2).toInt());
}
} // namespace

SentJobs::SentJobs(Client& client, QWidget* owner)
    : m_client(client), m_owner(owner),
      m_store(SentStore::pathIn(client.state.UserDataFolder),
              [this](SentStore::Warning warning, const QString& detail) { warn(warning, detail); }),
      m_recorder(std::make_unique<SentRecorder>(m_store)), m_monitor(new SentMonitor(m_store, this)),
      m_notifier(new TakenNotifier(this))
{
    connect(m_monitor, &SentMonitor::jobTaken, this, &SentJobs::jobTaken);
    connect(m_notifier, &TakenNotifier::clicked, this, [this](qint64 job) {
        openWindow();
        m_window->showJob(job);
    });
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
        m_window->resize(storedSize(m_client.registry->read(kSizeValue)));
        // Where the user left it, also in an earlier run, as long as a screen shows
        // that place; else over the main window.
        const std::optional<QPoint> place = storedPlace(m_client.registry->read(kPlaceValue));
        if (place && QGuiApplication::screenAt(QRect(*place, m_window->size()).center())) {
            m_window->move(*place);
        } else {
            CentreFrameOn(*m_window, m_owner->frameGeometry().center());
        }
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

void SentJobs::applyLanguage()
{
    const QString language = m_client.state.LanguageName;
    if (m_window)
        m_window->setTexts(SentJobsTextsFor(language), LanguageLocale(language));
}

void SentJobs::windowHidden(const QRect& geometry)
{
    if (!m_client.settingsWritable)
        return;
    const QString size = QStringLiteral("%1x%2").arg(geometry.width()).arg(geometry.height());
    const QString place = QStringLiteral("%1,%2").arg(geometry.x()).arg(geometry.y());
    try {
        for (const auto& [name, value] : {std::pair{&kSizeValue, &size}, {&kPlaceValue, &place}})
            if (m_client.registry->read(*name) != *value)
                m_client.registry->write(*name, *value);
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
    const SentJobsTexts texts = SentJobsTextsFor(m_client.state.LanguageName);
    m_notifier->notify(m_client.state.ProductTitle, TakenNotificationText(texts, record), texts.showDetails, record.id);
}
