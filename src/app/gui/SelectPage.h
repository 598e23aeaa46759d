#pragma once
// The Select files/folders page (TabSheet2): the hint and the heading with the
// maximum size, the shell browser and the drop zone CLB side by side, and the panel
// with Delete, Previous and Next. Whatever the user picks, drops or hands over
// becomes an entry of the form's selection here.
#include "app/gui/WizardPage.h"

#include <QStringList>

class DropZoneList;
class QLabel;
class QPushButton;
class ShellBrowser;

class SelectPage : public WizardPage {
    Q_OBJECT
public:
    SelectPage(Client& client, QWidget* parent);

    void showFormValues() override;
    void applyLanguage() override;
    void placeControls(int windowWidth) override;
    QList<QWidget*> tabChain() const override;
    QWidget* firstField() const override;
    QList<QWidget*> schemeControls() const override;

    // Where the hidden Add file and Add folder buttons take their paths from: the
    // system's file dialogs over the window, unless replaced (a test answers with the
    // paths it wants, without a dialog). An empty answer is a cancelled dialog.
    struct PathDialogs {
        std::function<QStringList(QWidget* parent)> files;
        std::function<QString(QWidget* parent)> folder;
    };
    PathDialogs& pathDialogs() { return m_pathDialogs; }

    // Adds the names that make drop zone entries (dropped from other programs, or
    // handed over); returns the others.
    QStringList addPaths(const QStringList& names);
    // Fills the browser's views (once the window is on screen, and each time the page shows).
    void startListing();

private:
    // Says which chosen names could not be told from others and were left out.
    void sayUnclear(const QStringList& paths);
    void addBrowserSelection();
    void addFilesFromDialog();
    void addFolderFromDialog();
    void deleteSelectedEntries();

    PathDialogs m_pathDialogs;
    QLabel* m_dropZoneHint;
    QLabel* m_heading;
    QLabel* m_dropZoneTitle;
    ShellBrowser* m_browser;
    DropZoneList* m_dropZone;
    QPushButton* m_addFileButton;
    QPushButton* m_addFolderButton;
    QPushButton* m_deleteButton;
    QPushButton* m_previousButton;
    QPushButton* m_nextButton;
};
