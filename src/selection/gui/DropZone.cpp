#include "selection/gui/DropZone.h"

#include "platform/Arguments.h"
#include "platform/FileTree.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>

std::optional<SelectionEntry> DropZoneEntryFor(const QString& path, const QString& marker)
{
    if (path.isEmpty())
        return {};
    // By the system's bytes: a name that is no valid text is looked up as itself.
    switch (filetree::native().status(ArgumentBytes(path)).kind) {
    case filetree::Kind::Folder:
        return SelectionEntry::folder(path, marker);
    case filetree::Kind::File:
        return SelectionEntry::file(path);
    default:
        return {};
    }
}

std::optional<SelectionEntry> BrowserEntryFor(bool isFolder, const QString& path, const QString& marker)
{
    if (isFolder)
        return DropZoneEntryFor(path, marker);
    if (filetree::native().status(ArgumentBytes(path)).kind == filetree::Kind::File)
        return SelectionEntry::file(path);
    return {};
}

std::optional<QString> ExactPath(const QString& path)
{
    if (!path.contains(QChar::ReplacementCharacter))
        return path;
    const filetree::FileSystem& fs = filetree::native();
    QByteArray exact;
    const QStringList parts = path.split(u'/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (i > 0)
            exact += '/';
        if (!part.contains(QChar::ReplacementCharacter)) {
            exact += QFile::encodeName(part);
            continue;
        }
        // The one name in its folder that reads as this part, or none at all.
        const QByteArray folder = exact.isEmpty() ? QByteArray("/") : exact.chopped(1);
        std::vector<filetree::Listed> entries;
        QString error;
        if (!fs.list(folder, fs.status(folder), entries, &error))
            return {};
        QByteArray match;
        int matches = 0;
        for (const filetree::Listed& entry : entries) {
            if (QFile::decodeName(entry.name) == part) {
                match = entry.name;
                ++matches;
            }
        }
        if (matches != 1)
            return {};
        exact += match;
    }
    return ArgumentText(exact);
}

DropZoneList::DropZoneList(QWidget* parent) : QListWidget(parent)
{
    setObjectName(QStringLiteral("CLB"));
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // One line of text each: the list need not measure a hundred thousand of them.
    setUniformItemSizes(true);
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("DeleteInDropZone"));
    m_delete = m_menu->addAction(QStringLiteral("Delete"));
    m_delete->setObjectName(QStringLiteral("Delete2"));
    connect(m_delete, &QAction::triggered, this, &DropZoneList::deleteRequested);
}

QStringList DropZoneList::entries() const
{
    QStringList list;
    list.reserve(count());
    for (int i = 0; i < count(); ++i)
        list.append(item(i)->text());
    return list;
}

void DropZoneList::showEntries(const QStringList& list)
{
    const QStringList shown = entries();
    if (shown == list)
        return;
    if (shown.size() < list.size() && list.mid(0, shown.size()) == shown) {
        addItems(list.mid(shown.size()));
        return;
    }
    clear();
    addItems(list);
}

QList<int> DropZoneList::unselectedRows() const
{
    QList<int> rows;
    for (int i = 0; i < count(); ++i) {
        if (!item(i)->isSelected())
            rows.append(i);
    }
    return rows;
}

void DropZoneList::SetDropZoneExtent()
{
    const QFontMetrics metrics(font());
    int width = 0;
    for (int i = 0; i < count(); ++i)
        width = qMax(width, metrics.horizontalAdvance(item(i)->text() + u'x'));
    setHorizontalExtent(width);
}

void DropZoneList::setHorizontalExtent(int pixels)
{
    m_extent = pixels;
    updateGeometries();
}

void DropZoneList::updateGeometries()
{
    QListWidget::updateGeometries();
    // The list scrolls sideways as far as the kept extent says, not by its own measure.
    QScrollBar* bar = horizontalScrollBar();
    bar->setRange(0, qMax(0, m_extent - viewport()->width()));
    bar->setPageStep(viewport()->width());
}

void DropZoneList::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptsDragFrom(event->source())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DropZoneList::dragMoveEvent(QDragMoveEvent* event)
{
    if (acceptsDragFrom(event->source())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DropZoneList::dropEvent(QDropEvent* event)
{
    if (!acceptsDragFrom(event->source())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    Q_EMIT browserItemsDropped();
}

void DropZoneList::keyReleaseEvent(QKeyEvent* event)
{
    QListWidget::keyReleaseEvent(event);
    if (event->key() == Qt::Key_Delete)
        Q_EMIT deleteRequested();
}

void DropZoneList::contextMenuEvent(QContextMenuEvent* event)
{
    m_menu->popup(event->globalPos());
}
