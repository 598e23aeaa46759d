#include "app/gui/SelectPage.h"

#include "client/Client.h"
#include "i18n/ControlTexts.h"
#include "i18n/LanguageLocale.h"
#include "i18n/PathTexts.h"
#include "platform/Arguments.h"
#include "platform/FileTree.h"
#include "platform/Text.h"
#include "selection/gui/DropZone.h"
#include "selection/gui/ShellBrowser.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

SelectPage::SelectPage(Client& client, QWidget* parent)
    : WizardPage(client, QStringLiteral("TabSheet2"), parent),
      m_pathDialogs{[](QWidget* over) { return QFileDialog::getOpenFileNames(over); },
                    [](QWidget* over) { return QFileDialog::getExistingDirectory(over); }}
{
    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("Panel3"));
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(8, 6, 8, 4);
    topLayout->setSpacing(4);
    m_dropZoneHint = new QLabel(top);
    m_dropZoneHint->setObjectName(QStringLiteral("LabelSelectfileFolder"));
    m_dropZoneHint->setWordWrap(true);
    m_heading = new QLabel(top);
    m_heading->setObjectName(QStringLiteral("Lselectfilefolder"));
    QFont bold = m_heading->font();
    bold.setBold(true);
    m_heading->setFont(bold);
    topLayout->addWidget(m_dropZoneHint);
    topLayout->addWidget(m_heading);

    auto* splitter = new QSplitter(Qt::Horizontal, top);
    splitter->setObjectName(QStringLiteral("Splitter3"));
    m_browser = new ShellBrowser(splitter);

    // The drop zone's title stays over the left edge of the list, wherever the
    // splitter puts it.
    auto* zone = new QWidget(splitter);
    zone->setObjectName(QStringLiteral("PanelDropzone"));
    auto* zoneLayout = new QVBoxLayout(zone);
    zoneLayout->setContentsMargins(0, 0, 0, 0);
    zoneLayout->setSpacing(2);
    m_dropZoneTitle = new QLabel(QStringLiteral("Drop zone"), zone);
    m_dropZoneTitle->setObjectName(QStringLiteral("LabelDropzone"));
    m_dropZoneTitle->setMinimumHeight(m_browser->pathBox()->sizeHint().height());
    m_dropZone = new DropZoneList(zone);
    m_dropZone->setDragSource(m_browser->listView());
    m_dropZone->setSelectionMode(QAbstractItemView::ExtendedSelection);
    zoneLayout->addWidget(m_dropZoneTitle);
    zoneLayout->addWidget(m_dropZone, 1);
    splitter->addWidget(m_browser);
    splitter->addWidget(zone);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    topLayout->addWidget(splitter, 1);
    stack()->addWidget(top, 1);

    QWidget* buttons = bottomPanel(QStringLiteral("Panel1"));
    // Add file and Add folder are part of the panel's layout but never shown: not
    // dead code, they work as they always did and take their paths from pathDialogs.
    m_addFileButton = button(QStringLiteral("Bfile"), QStringLiteral("Add file"), buttons);
    m_addFolderButton = button(QStringLiteral("Bfolder"), QStringLiteral("Add folder"), buttons);
    m_addFileButton->hide();
    m_addFolderButton->hide();
    m_deleteButton = button(QStringLiteral("Bdel"), QStringLiteral("Delete"), buttons);
    m_previousButton = button(QStringLiteral("Bprev2"), QStringLiteral("Previous"), buttons);
    m_nextButton = button(QStringLiteral("Bnext2"), QStringLiteral("Next"), buttons);
    stack()->addWidget(buttons);

    connect(m_browser, &ShellBrowser::addClicked, this, &SelectPage::addBrowserSelection);
    connect(m_browser, &ShellBrowser::pathRejected, this, [this](const QString& path) {
        const PathMessage message = MissingFolderMessage(m_client.state.LanguageName, path);
        m_client.prompter.error(message.text, message.caption);
    });
    connect(m_dropZone, &DropZoneList::browserItemsDropped, this, &SelectPage::addBrowserSelection);
    connect(m_dropZone, &DropZoneList::deleteRequested, this, &SelectPage::deleteSelectedEntries);
    connect(m_deleteButton, &QPushButton::clicked, this, &SelectPage::deleteSelectedEntries);
    connect(m_addFileButton, &QPushButton::clicked, this, &SelectPage::addFilesFromDialog);
    connect(m_addFolderButton, &QPushButton::clicked, this, &SelectPage::addFolderFromDialog);
    connect(m_previousButton, &QPushButton::clicked, this, &WizardPage::previousRequested);
    connect(m_nextButton, &QPushButton::clicked, this, &WizardPage::nextRequested);

    ClientForm& form = m_client.form;
    connect(&form, &ClientForm::selectionChanged, m_dropZone, [this, &form] { m_dropZone->showEntries(form.selectionTexts()); });
    connect(&form, &ClientForm::selectionAppended, m_dropZone,
            [this, &form](qsizetype first) { m_dropZone->appendEntries(SelectionTexts(form.selection().mid(first))); });
    connect(&form, &ClientForm::lastPathChanged, m_browser, [this, &form] {
        if (!form.lastPath().isEmpty())
            m_browser->setFolder(form.lastPath());
    });
    connect(m_browser, &ShellBrowser::folderChanged, &form, &ClientForm::setLastPath);
    // The folder remembered from the last run wins over the one the browser opened in.
    if (form.lastPath().isEmpty())
        form.setLastPath(m_browser->folder());
}

void SelectPage::showFormValues()
{
    const ClientForm& form = m_client.form;
    m_dropZone->showEntries(form.selectionTexts());
    if (!form.lastPath().isEmpty())
        m_browser->setFolder(form.lastPath());
}

void SelectPage::applyLanguage()
{
    const ClientState& st = m_client.state;
    const LanguageTexts& t = m_client.texts;
    QString heading = t[SelectFilesAndFolders];
    if (st.MaxSize != QStringLiteral("-1"))
        heading += QStringLiteral(" (") + t[MaximumSize] + u' ' + st.MaxSize + t[MegaByteUnit] + u')';
    m_heading->setText(heading);
    m_deleteButton->setText(leftChars(t[DeleteCaption], 16));
    m_nextButton->setText(leftChars(t[NextCaption], 16));
    m_previousButton->setText(leftChars(t[PreviousCaption], 16));
    m_dropZoneHint->setText(t[DropZoneHint]);
    m_dropZoneTitle->setText(t[DropZoneLabel]);
    // The browser's sizes and dates (its column titles follow Qt's own texts).
    m_browser->setLanguageLocale(LanguageLocale(st.LanguageName));

    // Names for assistive tools, with tool tips where the caption is an arrow or none.
    const ControlTable& c = ControlTextsFor(st.LanguageName);
    const std::tuple<QWidget*, const TableText&, const TableText&> named[] = {
        {m_browser->pathBox(), c.folderPath, c.folderPathTip},
        {m_browser->pathBox()->lineEdit(), c.folderPath, c.folderPathTip},
        {m_browser->upButton(), c.folderUp, c.folderUpTip},
        {m_browser->addButton(), c.addToDropZone, c.addToDropZoneTip}};
    for (const auto& [control, name, tip] : named) {
        control->setAccessibleName(name.toString());
        control->setToolTip(tip.toString());
    }
    m_browser->listView()->setAccessibleName(t[TabSelect]);
    m_dropZone->setAccessibleName(t[DropZoneLabel]);
}

void SelectPage::placeControls(int windowWidth)
{
    placeButton(m_nextButton, slotA(windowWidth));
    placeButton(m_previousButton, slotB(windowWidth));
    placeButton(m_deleteButton, slotC(windowWidth));
    // The browser's path row follows the browser's own width.
    m_browser->placeRow();
}

QList<QWidget*> SelectPage::tabChain() const
{
    return {m_browser->upButton(), m_browser->pathBox(), m_browser->addButton(), m_browser->listView(),
            m_dropZone, m_deleteButton, m_previousButton, m_nextButton};
}

QWidget* SelectPage::firstField() const { return m_browser->pathBox(); }

QList<QWidget*> SelectPage::schemeControls() const
{
    return {m_dropZone, m_browser->pathBox(), m_browser->listView()};
}

QStringList SelectPage::addPaths(const QStringList& names)
{
    const QString marker = m_client.texts[FolderMarker];
    QStringList skipped;
    QList<SelectionEntry> entries;
    entries.reserve(names.size());
    for (const QString& name : names) {
        if (const auto entry = DropZoneEntryFor(name, marker))
            entries.append(*entry);
        else
            skipped.append(name);
    }
    m_client.form.appendSelection(entries);
    return skipped;
}

void SelectPage::startListing() { m_browser->startListing(); }

void SelectPage::addBrowserSelection()
{
    guarded([this] {
        const QString marker = m_client.texts[FolderMarker];
        const auto items = m_browser->selectedItems();
        QList<SelectionEntry> entries;
        QStringList unclear;
        for (const ShellBrowser::Item& item : items) {
            const std::optional<QString> path = ExactPath(item.path);
            if (!path)
                unclear.append(item.path);
            else if (const auto entry = BrowserEntryFor(item.isFolder, *path, marker))
                entries.append(*entry);
        }
        m_client.form.appendSelection(entries);
        sayUnclear(unclear);
        m_dropZone->SetDropZoneExtent();
    });
}

void SelectPage::addFilesFromDialog()
{
    guarded([this] {
        const QStringList names = m_pathDialogs.files(window());
        QList<SelectionEntry> entries;
        QStringList unclear;
        for (const QString& name : names) {
            if (const std::optional<QString> path = ExactPath(name))
                entries.append(SelectionEntry::file(*path));
            else
                unclear.append(name);
        }
        m_client.form.appendSelection(entries);
        sayUnclear(unclear);
    });
}

void SelectPage::addFolderFromDialog()
{
    guarded([this] {
        const QString chosen = m_pathDialogs.folder(window());
        if (chosen.isEmpty())
            return;
        const std::optional<QString> folder = ExactPath(chosen);
        if (!folder) {
            sayUnclear({chosen});
            return;
        }
        if (filetree::native().status(ArgumentBytes(*folder)).kind == filetree::Kind::Folder)
            m_client.form.appendSelection(SelectionEntry::folder(*folder, m_client.texts[FolderMarker]));
    });
}

void SelectPage::sayUnclear(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    const PathMessage message = UnclearPathsMessage(m_client.state.LanguageName, paths);
    m_client.prompter.warning(message.text, message.caption);
}

void SelectPage::deleteSelectedEntries()
{
    if (m_dropZone->selectedItems().isEmpty())
        return;
    QList<SelectionEntry> kept;
    for (const int row : m_dropZone->unselectedRows())
        kept.append(m_client.form.selection().value(row));
    m_client.form.setSelection(kept);
}
