#include "selection/gui/ShellBrowser.h"

#include "platform/gui/FontUnits.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QAbstractFileIconProvider>
#include <QDateTime>
#include <QEvent>
#include <QTimer>
#include <QVBoxLayout>

// The file system as the list view shows it: sizes and dates written the way the
// program's language writes them, file types in the language of Qt's installed texts
// (asked each time, so that a change of language shows at once).
class BrowserModel : public QFileSystemModel {
public:
    using QFileSystemModel::QFileSystemModel;

    void setLocale(const QLocale& locale)
    {
        m_locale = locale;
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return QFileSystemModel::data(index, role);
        switch (index.column()) {
        case 1:
            return isDir(index) ? QString() : m_locale.formattedDataSize(size(index));
        case 2:
            if (const QAbstractFileIconProvider* icons = iconProvider())
                return icons->type(fileInfo(index));
            break;
        case 3:
            return m_locale.toString(lastModified(index), QLocale::ShortFormat);
        default:
            break;
        }
        return QFileSystemModel::data(index, role);
    }

private:
    QLocale m_locale;
};

ShellBrowser::ShellBrowser(QWidget* parent)
    : QWidget(parent),
      m_model(new BrowserModel(this)),
      m_treeModel(new QFileSystemModel(this)),
      m_pathBox(new QComboBox(this)),
      m_up(new QPushButton(QStringLiteral("<-"), this)),
      m_add(new QPushButton(QStringLiteral("-->>>"), this)),
      m_list(new QTreeView(this)),
      m_tree(new QTreeView(this))
{
    setObjectName(QStringLiteral("ShellBrowser"));
    m_pathBox->setObjectName(QStringLiteral("ShellComboBox1"));
    m_up->setObjectName(QStringLiteral("BitBtn1"));
    m_add->setObjectName(QStringLiteral("BBadd"));
    m_list->setObjectName(QStringLiteral("ShellListView1"));
    m_tree->setObjectName(QStringLiteral("ShellTreeView1"));

    // Files, folders and hidden items alike; items may be renamed in place.
    m_model->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    m_model->setReadOnly(false);
    m_treeModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);

    // The path row's three controls are placed by hand (placeRow), below them the list.
    m_row = new QWidget(this);
    m_row->setObjectName(QStringLiteral("PanelShellCombo"));
    m_up->setParent(m_row);
    m_pathBox->setParent(m_row);
    m_add->setParent(m_row);
    m_pathBox->setEditable(true);
    m_pathBox->setInsertPolicy(QComboBox::NoInsert);
    m_pathBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_pathBox->setMinimumContentsLength(10);
    m_row->setFixedHeight(m_pathBox->sizeHint().height());
    setMinimumWidth(160);

    // Report view: name, size, type and date, sorted, several items at once, dragged
    // by the mouse, selection visible also without the focus.
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setDragEnabled(true);
    m_list->setDragDropMode(QAbstractItemView::DragOnly);
    m_list->setDefaultDropAction(Qt::CopyAction);
    m_list->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    m_list->header()->resizeSection(0, 220);
    QPalette pal = m_list->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    m_list->setPalette(pal);

    m_tree->setModel(m_treeModel);
    m_tree->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_row);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_tree);

    // The path box selects its text when it takes the focus, so that a typed path
    // replaces the one shown instead of being appended to it.
    m_pathBox->installEventFilter(this);

    connect(m_up, &QPushButton::clicked, this, &ShellBrowser::goUp);
    connect(m_add, &QPushButton::clicked, this, &ShellBrowser::addClicked);
    connect(m_pathBox->lineEdit(), &QLineEdit::returnPressed, this, &ShellBrowser::openTypedPath);
    connect(m_pathBox, &QComboBox::activated, this, [this](int index) {
        const QString path = m_pathBox->itemData(index).toString();
        if (!setFolder(path))
            Q_EMIT pathRejected(path);
    });
    connect(m_list, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (m_model->isDir(index))
            setFolder(m_model->filePath(index));
    });

    setFolder(QDir::homePath());
}

void ShellBrowser::startListing()
{
    if (m_listing)
        return;
    m_listing = true;
    m_list->setSortingEnabled(true);
    m_list->sortByColumn(0, Qt::AscendingOrder);
    listFolder();
}

void ShellBrowser::listFolder()
{
    // The hidden tree takes the path first; the list view follows it.
    m_tree->setCurrentIndex(m_treeModel->index(m_folder));
    m_model->setRootPath(m_folder);
    m_list->setRootIndex(m_model->index(m_folder));
    m_list->clearSelection();
}

QFileSystemModel* ShellBrowser::model() const { return m_model; }

void ShellBrowser::setLanguageLocale(const QLocale& locale)
{
    m_model->setLocale(locale);
    m_list->viewport()->update();
}

void ShellBrowser::placeRow()
{
    const FontUnits u = FontUnits::of(this);
    const int add = u.x(45); // room for "-->>>"
    const int list = m_list->width();
    m_row->setFixedHeight(m_pathBox->sizeHint().height());
    const int height = m_row->height();
    m_up->setGeometry(0, 0, u.x(28), height);
    m_pathBox->setGeometry(u.x(30), 0, qMax(0, list - u.x(30) - add), height);
    m_add->setGeometry(list - add, 0, add, height);
}

void ShellBrowser::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The window's resize and the splitter's move both end here.
    placeRow();
}

bool ShellBrowser::eventFilter(QObject* watched, QEvent* event)
{
    // After the event: a click that gave the focus would put the cursor over the
    // selection otherwise.
    if (watched == m_pathBox && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_pathBox->lineEdit(), &QLineEdit::selectAll);
    return QWidget::eventFilter(watched, event);
}

bool ShellBrowser::setFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.exists() || !info.isDir())
        return false;
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    const bool changed = clean != m_folder;
    if (changed) {
        m_folder = clean;
        if (m_listing)
            listFolder();
    }
    showPathInBox();
    if (changed)
        Q_EMIT folderChanged(m_folder);
    return true;
}

void ShellBrowser::goUp()
{
    QDir dir(m_folder);
    if (dir.isRoot() || !dir.cdUp())
        return;
    setFolder(dir.absolutePath());
}

bool ShellBrowser::openTypedPath()
{
    // The whole typed text is the path (a lone selection inside it means nothing).
    const QString typed = m_pathBox->lineEdit()->text().trimmed();
    if (setFolder(typed))
        return true;
    showPathInBox();
    Q_EMIT pathRejected(typed);
    return false;
}

QList<ShellBrowser::Item> ShellBrowser::selectedItems() const
{
    QList<Item> items;
    const QModelIndex root = m_list->rootIndex();
    const QItemSelectionModel* selection = m_list->selectionModel();
    const int rows = m_model->rowCount(root);
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = m_model->index(row, 0, root);
        if (selection->isRowSelected(row, root))
            items.append({m_model->isDir(index), m_model->filePath(index)});
    }
    return items;
}

void ShellBrowser::showPathInBox()
{
    // The box lists the current folder and the folders above it, the current one shown.
    QStringList chain;
    QDir dir(m_folder);
    chain.prepend(dir.absolutePath());
    while (!dir.isRoot() && dir.cdUp())
        chain.prepend(dir.absolutePath());
    const QSignalBlocker block(m_pathBox);
    m_pathBox->clear();
    for (const QString& path : chain)
        m_pathBox->addItem(QDir::toNativeSeparators(path), path);
    m_pathBox->setCurrentIndex(m_pathBox->count() - 1);
}
