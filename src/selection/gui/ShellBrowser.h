#pragma once
// The shell browser of the selection page: path box ShellComboBox1, up button BitBtn1,
// add button BBadd, the list view ShellListView1 over the current folder and the
// hidden folder tree ShellTreeView1 that carries a typed path to it.
#include <QList>
#include <QLocale>
#include <QString>
#include <QWidget>

class QComboBox;
class QFileSystemModel;
class BrowserModel;
class QPushButton;
class QTreeView;

class ShellBrowser : public QWidget {
    Q_OBJECT
public:
    explicit ShellBrowser(QWidget* parent = nullptr);

    struct Item {
        bool isFolder = false;
        QString path;
    };

    // Fills the views. Until then only the folder is kept: listing a folder the first
    // time loads the desktop's icon theme, which takes longer than building the whole
    // window, so the window asks for it once it is on screen.
    void startListing();

    // The folder the list view shows.
    QString folder() const { return m_folder; }
    // Shows folder; false (and nothing changes) when it is no existing folder.
    bool setFolder(const QString& folder);
    // The up button: the parent folder; at the top of the file system nothing changes.
    void goUp();
    // Enter in the path box: shows the typed path; false when it is no folder.
    bool openTypedPath();

    // The selected items of the list view in display order.
    QList<Item> selectedItems() const;

    // The list view's column titles and file types follow the installed translations,
    // its sizes and dates this locale.
    void setLanguageLocale(const QLocale& locale);
    // The path row: BitBtn1 at the left, ShellComboBox1 from 30 up to BBadd, which
    // ends where the list view ends; kept so whenever the browser changes its width.
    void placeRow();

    QComboBox* pathBox() const { return m_pathBox; }
    QTreeView* listView() const { return m_list; }
    QTreeView* treeView() const { return m_tree; }
    QPushButton* upButton() const { return m_up; }
    QPushButton* addButton() const { return m_add; }
    QFileSystemModel* model() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    void folderChanged(const QString& folder);
    // A typed path that is no existing folder.
    void pathRejected(const QString& path);
    void addClicked();

private:
    void showPathInBox();
    void listFolder();

    BrowserModel* m_model;
    QFileSystemModel* m_treeModel;
    QComboBox* m_pathBox;
    QPushButton* m_up;
    QPushButton* m_add;
    QWidget* m_row;
    QTreeView* m_list;
    QTreeView* m_tree;
    QString m_folder;
    bool m_listing = false;
};
