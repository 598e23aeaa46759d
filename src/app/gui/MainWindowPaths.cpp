// Files and folders from other programs: dropped on the window from a file manager,
// given when the program starts, or handed over by later starts of the program.
#include "app/gui/MainWindow.h"

#include "app/gui/CopyProgressWindow.h"
#include "app/gui/ProgramEnd.h"
#include "dialogs/AfterSubmissionDialog.h"
#include "dialogs/SettingsDialog.h"
#include "i18n/PathTexts.h"
#include "platform/Arguments.h"
#include "platform/FileTree.h"
#include "recipients/gui/ContactsPicker.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

namespace {
// Paths are added in slices of at most this long, so the window never stops answering.
constexpr qint64 kPathSliceMs = 40;
constexpr qsizetype kPathsAtOnce = 500;

// The local files and folders a drop carries, in the order given.
QStringList localPaths(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    const auto urls = mime->urls();
    for (const QUrl& url : urls) {
        if (url.isLocalFile() && url.host().isEmpty())
            paths.append(ArgumentOfUrl(url));
        else if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

// A drop from another program (not from one of our own widgets) carrying local names.
bool isShellFileDrop(const QDropEvent* event)
{
    return event->source() == nullptr && !localPaths(event->mimeData()).isEmpty();
}
} // namespace

MainWindow::PathDialogs& MainWindow::pathDialogs() { return m_selectPage->pathDialogs(); }

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (isShellFileDrop(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (isShellFileDrop(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    if (!isShellFileDrop(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const QStringList names = localPaths(event->mimeData());
    guarded([&] { m_selectPage->addPaths(names); });
}

// File names dropped from other programs count on every page, whichever control is
// under the mouse: every control of the window passes its drops here first.
bool MainWindow::filterShellDrop(QEvent* event)
{
    if (event->type() != QEvent::DragEnter && event->type() != QEvent::DragMove && event->type() != QEvent::Drop)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    if (!isShellFileDrop(drop))
        return false;
    if (event->type() == QEvent::Drop)
        dropEvent(drop);
    else
        drop->acceptProposedAction();
    return true;
}

void MainWindow::openPaths(const QStringList& paths, PathsFrom from)
{
    if (ProgramEnd::requested())
        return;
    if (from == PathsFrom::LaterStart)
        raiseWindow();
    if (paths.isEmpty())
        return;
    m_waitingPaths += paths;
    // Added from the event loop: the message about missing ones is a box of its own.
    QMetaObject::invokeMethod(this, &MainWindow::addWaitingPaths, Qt::QueuedConnection);
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A dialog or a copy is over: the paths that came meanwhile go in now.
    if (event->type() == QEvent::EnabledChange && isEnabled() && !m_waitingPaths.isEmpty())
        QMetaObject::invokeMethod(this, &MainWindow::addWaitingPaths, Qt::QueuedConnection);
}

void MainWindow::addWaitingPaths()
{
    if (m_waitingPaths.isEmpty() || m_addingPaths || m_jobRunning || !isEnabled() || ProgramEnd::requested())
        return;
    m_addingPaths = true;
    const auto done = qScopeGuard([this] { m_addingPaths = false; });
    guarded([&] {
        // A slice at a time: between slices the window repaints and takes the next
        // hand-over, however many paths come at once.
        QElapsedTimer slice;
        slice.start();
        while (m_pathsTaken < m_waitingPaths.size() && !slice.hasExpired(kPathSliceMs)) {
            const QStringList paths = m_waitingPaths.mid(m_pathsTaken, kPathsAtOnce);
            m_pathsTaken += paths.size();
            // What exists but is neither file nor folder (a device, a socket) is skipped
            // without a word, as a drop skips it; a link that leads nowhere is missing.
            const QStringList skipped = m_selectPage->addPaths(paths);
            for (const QString& path : skipped) {
                if (filetree::native().status(ArgumentBytes(path)).kind == filetree::Kind::Missing)
                    m_missingPaths.append(path);
            }
        }
        // The selection is made on the Select page; from the Welcome page the window goes
        // there, any other page stays as the user left it.
        if (currentPage() == Page::Welcome)
            showPage(Page::Select);
        if (m_pathsTaken < m_waitingPaths.size())
            return;
        m_waitingPaths.clear();
        m_pathsTaken = 0;
        if (!m_missingPaths.isEmpty()) {
            const PathMessage message = MissingPathsMessage(m_client.state.LanguageName, std::exchange(m_missingPaths, {}));
            m_client.prompter.warning(message.text, message.caption);
        }
    });
    // The rest of a slice, or more that came while the message was up.
    if (!m_waitingPaths.isEmpty())
        QTimer::singleShot(0, this, &MainWindow::addWaitingPaths);
}

void MainWindow::raiseWindow()
{
    if (!isVisible())
        return;
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
    // A dialog of ours that waits for an answer stays in front of the window.
    for (QWidget* dialog : std::initializer_list<QWidget*>{m_settings, m_contacts, m_afterSubmission, m_progress}) {
        if (dialog && dialog->isVisible()) {
            dialog->raise();
            dialog->activateWindow();
        }
    }
}
