#include "sent/gui/SentJobsWindow.h"

#include "sent/SentStates.h"
#include "sent/SentStore.h"
#include "sent/gui/SentJobDetails.h"
#include "sent/gui/SentJobsModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

SentJobsWindow::SentJobsWindow(SentStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window), m_store(store), m_texts(SentJobsTextsFor({}))
{
    setObjectName(QStringLiteral("SentJobsWindow"));
    auto* layout = new QVBoxLayout(this);
    m_model = new SentJobsModel(this);
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(SentJobsModel::SortRole);
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
    m_table->setColumnWidth(SentJobsModel::StateColumn, digit * 25);
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
}

void SentJobsWindow::setTexts(const SentJobsTexts& texts, const QLocale& locale)
{
    m_texts = texts;
    m_locale = locale;
    setWindowTitle(texts.title);
    m_close->setText(texts.close);
    m_table->setAccessibleName(texts.title);
    m_model->setTexts(texts, locale);
}

void SentJobsWindow::refresh()
{
    // Unreadable: the store has warned, and the table shows what it showed before.
    std::optional<QList<SentRecord>> records = m_store.records();
    if (!records)
        return;
    LookAtUploadFolders(*records, &m_store);
    m_model->setRecords(std::move(*records));
    m_looked->setText(m_texts.lookedAt.arg(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss"))));
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
    m_details->showRecord(record, m_model->stateText(record), m_texts, m_locale);
}

void SentJobsWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        Q_EMIT hiddenAt(size());
}
