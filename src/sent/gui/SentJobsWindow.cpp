#include "sent/gui/SentJobsWindow.h"

#include "sent/SentStates.h"
#include "sent/SentStore.h"
#include "sent/gui/CloseKeys.h"
#include "sent/gui/SentJobDetails.h"
#include "sent/gui/SentJobsModel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

SentJobsWindow::SentJobsWindow(SentStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window), m_store(store), m_texts(SentJobsTextsFor({}))
{
    setObjectName(QStringLiteral("SentJobsWindow"));
    auto* layout = new QVBoxLayout(this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("LEsentFilter"));
    m_filter->setClearButtonEnabled(true);
    layout->addWidget(m_filter);
    m_model = new SentJobsModel(this);
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(SentJobsModel::SortRole);
    m_sorted->setFilterRole(SentJobsModel::FilterRole);
    m_sorted->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("SentJobsTable"));
    m_table->setModel(m_sorted);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->setWordWrap(false);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(SentJobsModel::TimeColumn, Qt::DescendingOrder);
    // Rows of one height, and columns that are not measured against every row: a year
    // of jobs opens at once.
    QHeaderView* rows = m_table->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView* columns = m_table->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setSectionResizeMode(SentJobsModel::SubjectColumn, QHeaderView::Stretch);
    const int digit = fontMetrics().horizontalAdvance(QStringLiteral("0"));
    m_table->setColumnWidth(SentJobsModel::TimeColumn, digit * 17);
    m_table->setColumnWidth(SentJobsModel::RecipientsColumn, digit * 26);
    m_table->setColumnWidth(SentJobsModel::SizeColumn, digit * 10);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_table, 1);

    auto* bottom = new QHBoxLayout;
    m_looked = new QLabel(this);
    m_looked->setObjectName(QStringLiteral("LsentLooked"));
    bottom->addWidget(m_looked, 1);
    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("BsentClose"));
    bottom->addWidget(m_close);
    layout->addLayout(bottom);

    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_table, &QAbstractItemView::activated, this, &SentJobsWindow::showDetails);
    connect(m_table, &QWidget::customContextMenuRequested, this, &SentJobsWindow::showMenu);
    connect(m_filter, &QLineEdit::textChanged, m_sorted, &QSortFilterProxyModel::setFilterFixedString);
    AddCloseKeys(this);
}

void SentJobsWindow::setTexts(const SentJobsTexts& texts, const QLocale& locale)
{
    m_texts = texts;
    m_locale = locale;
    setWindowTitle(texts.title);
    m_close->setText(texts.close);
    m_filter->setPlaceholderText(texts.filter);
    m_filter->setAccessibleName(texts.filter);
    m_table->setAccessibleName(texts.title);
    m_model->setTexts(texts, locale);
    if (!m_lookedTime.isEmpty())
        m_looked->setText(texts.lookedAt.arg(m_lookedTime));
    fitStateColumn();
    if (m_details && m_details->isVisible())
        if (const int row = m_model->rowOf(m_detailsJob); row >= 0)
            m_details->retranslate(m_model->stateText(*m_model->recordAt(row)), texts, locale);
}

void SentJobsWindow::fitStateColumn()
{
    // As wide as the longest state in the language, or as the heading with its sort
    // arrow: measured on these few texts, not on every row. A width the user gave the
    // column stays until the language changes.
    const QStringList states = m_model->allStateTexts();
    if (states == m_fittedStates)
        return;
    m_fittedStates = states;
    // An item's text has the style's focus-frame margin and one pixel on either side,
    // and the grid line takes one more.
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_table) + 1) + 1;
    int width = m_table->horizontalHeader()->sectionSizeHint(SentJobsModel::StateColumn);
    for (const QString& state : states)
        width = qMax(width, m_table->fontMetrics().horizontalAdvance(state) + margin);
    m_table->setColumnWidth(SentJobsModel::StateColumn, width);
}

void SentJobsWindow::refresh()
{
    // Unreadable: the store has warned, and the table shows what it showed before.
    std::optional<QList<SentRecord>> records = m_store.records();
    if (!records)
        return;
    LookAtUploadFolders(*records, &m_store);
    m_model->setRecords(std::move(*records));
    m_lookedTime = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss"));
    m_looked->setText(m_texts.lookedAt.arg(m_lookedTime));
}

void SentJobsWindow::showDetails(const QModelIndex& index)
{
    const SentRecord* shown = m_model->recordAt(m_sorted->mapToSource(index).row());
    if (!shown)
        return;
    SentRecord record = *shown;
    m_store.readDetails(record);
    if (!m_details)
        m_details = new SentJobDetails(this);
    m_detailsJob = record.id;
    m_details->showRecord(record, m_model->stateText(record), m_texts, m_locale);
}

bool SentJobsWindow::showJob(qint64 id)
{
    const int row = m_model->rowOf(id);
    if (row < 0)
        return false;
    QModelIndex index = m_sorted->mapFromSource(m_model->index(row, SentJobsModel::SubjectColumn));
    if (!index.isValid()) {
        m_filter->clear();
        index = m_sorted->mapFromSource(m_model->index(row, SentJobsModel::SubjectColumn));
    }
    m_table->setCurrentIndex(index);
    m_table->scrollTo(index);
    showDetails(index);
    return true;
}

void SentJobsWindow::showMenu(const QPoint& at)
{
    const QModelIndex index = m_table->indexAt(at);
    const SentRecord* record = m_model->recordAt(m_sorted->mapToSource(index).row());
    if (!record)
        return;
    m_table->setCurrentIndex(index);
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("SentJobMenu"));
    // Hidden once an action is chosen (or none), then gone.
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    const QString name = record->name;
    menu->addAction(m_texts.showDetails, this, [this, job = QPersistentModelIndex(index)] {
        if (job.isValid())
            showDetails(job);
    });
    menu->addAction(m_texts.copyName, this, [name] { QGuiApplication::clipboard()->setText(name); });
    menu->popup(m_table->viewport()->mapToGlobal(at));
}

void SentJobsWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        Q_EMIT hiddenAt(QRect(pos(), size()));
}
