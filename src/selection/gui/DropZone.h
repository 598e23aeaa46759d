#pragma once
// The drop zone CLB and the rule that turns a chosen path into one of its entries.
#include "client/SelectionEntry.h"

#include <QListWidget>
#include <QString>
#include <optional>

class QMenu;
class QAction;

// The entry for a path delivered by a drop or a dialog: an existing folder gives a
// folder entry (shown as path, blank, marker), a regular file (or a link to one) a
// file entry; anything else (missing, a device, a socket...) gives none: skipped.
std::optional<SelectionEntry> DropZoneEntryFor(const QString& path, const QString& marker);
// The same for an item of the shell browser, which says whether it is a folder: an
// item that is no folder is taken only as an existing file.
std::optional<SelectionEntry> BrowserEntryFor(bool isFolder, const QString& path, const QString& marker);
// The browser and the file dialogs read names the usual way: a name that is no valid
// text arrives with replacement characters, and reads like any other name that has
// them in the same places. The path with the one name in its folder that reads so,
// as the arguments carry it (ArgumentText); none when there is no such name or more
// than one, so that a chosen file is never replaced by its neighbour.
std::optional<QString> ExactPath(const QString& path);

// CLB: the selected files and folders in the order added. It takes drops only from
// the shell browser's list view; the Delete key, its pop-up menu and the Delete button
// remove the selected entries. Its horizontal scroll extent is kept by hand.
class DropZoneList : public QListWidget {
    Q_OBJECT
public:
    explicit DropZoneList(QWidget* parent = nullptr);

    // The only widget whose drags are taken (ShellListView1).
    void setDragSource(QWidget* source) { m_dragSource = source; }
    bool acceptsDragFrom(const QObject* source) const { return source && source == m_dragSource; }

    QStringList entries() const;
    // Shows entries, keeping the selection when only entries were appended.
    void showEntries(const QStringList& entries);
    // Adds entries at the end (the selection stays as it is).
    void appendEntries(const QStringList& entries) { addItems(entries); }
    // The rows that are not selected, in their order.
    QList<int> unselectedRows() const;

    // SetDropZoneExtent: the widest entry followed by "x", in the list's font.
    void SetDropZoneExtent();
    int horizontalExtent() const { return m_extent; }
    void setHorizontalExtent(int pixels);


Q_SIGNALS:
    // Items of the shell browser were dropped on the list.
    void browserItemsDropped();
    // Delete key, pop-up item Delete2.
    void deleteRequested();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void updateGeometries() override;

private:
    QWidget* m_dragSource = nullptr;
    QMenu* m_menu;
    QAction* m_delete;
    int m_extent = 0;
};
