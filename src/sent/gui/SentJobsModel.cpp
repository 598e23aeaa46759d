#include "sent/gui/SentJobsModel.h"

#include <QTimeZone>

SentJobsModel::SentJobsModel(QObject* parent) : QAbstractTableModel(parent), m_texts(SentJobsTextsFor({})) {}

void SentJobsModel::setTexts(const SentJobsTexts& texts, const QLocale& locale)
{
    m_texts = texts;
    m_locale = locale;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (!m_records.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void SentJobsModel::setRecords(QList<SentRecord> records)
{
    bool sameJobs = records.size() == m_records.size();
    for (qsizetype i = 0; sameJobs && i < records.size(); ++i)
        sameJobs = records[i].id == m_records[i].id;
    if (!sameJobs) {
        beginResetModel();
        m_records = std::move(records);
        endResetModel();
        return;
    }
    for (qsizetype i = 0; i < records.size(); ++i) {
        const SentRecord& before = m_records[i];
        const SentRecord& now = records[i];
        const bool changed = before.state != now.state || before.taken != now.taken || before.outcome != now.outcome ||
                             before.problem != now.problem;
        m_records[i] = now;
        if (changed)
            Q_EMIT dataChanged(index(int(i), 0), index(int(i), ColumnCount - 1));
    }
}

const SentRecord* SentJobsModel::recordAt(int row) const
{
    return row >= 0 && row < m_records.size() ? &m_records[row] : nullptr;
}

int SentJobsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

int SentJobsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString SentJobsModel::localTime(const QDateTime& utc)
{
    // The system's zone read once: a conversion to local time looks at the system's
    // zone file again every time, and a year of jobs has thousands of times.
    static const QTimeZone zone = QTimeZone::systemTimeZone();
    return utc.isValid() ? utc.toTimeZone(zone).toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

QString SentJobsModel::stateText(const SentRecord& r) const
{
    if (r.state == SentState::Taken && r.taken.isValid())
        return m_texts.takenAt.arg(localTime(r.taken));
    return StateWords(m_texts, r.state);
}

QStringList SentJobsModel::allStateTexts() const
{
    QStringList texts{m_texts.takenAt.arg(QStringLiteral("2000-12-28 23:58"))};
    for (const SentState state : {SentState::BeingWritten, SentState::Waiting, SentState::BeingTaken, SentState::Taken,
                                  SentState::Failed, SentState::LeftLocked, SentState::CannotTell})
        texts.append(StateWords(m_texts, state));
    return texts;
}

int SentJobsModel::rowOf(qint64 id) const
{
    for (qsizetype row = 0; row < m_records.size(); ++row)
        if (m_records[row].id == id)
            return int(row);
    return -1;
}

QVariant SentJobsModel::data(const QModelIndex& index, int role) const
{
    const SentRecord* r = recordAt(index.row());
    if (!r || index.column() < 0 || index.column() >= ColumnCount)
        return {};
    if (role == IdRole)
        return r->id;
    if (role == FilterRole)
        return r->recipients.join(u'\n') + u'\n' + r->subject + u'\n' + r->name;
    if (role == Qt::DisplayRole) {
        switch (Column(index.column())) {
        case TimeColumn:
            return localTime(r->started);
        case RecipientsColumn:
            return r->recipients.join(QStringLiteral(", "));
        case SubjectColumn:
            return r->subject;
        case SizeColumn:
            return m_locale.formattedDataSize(r->bytes, 1, QLocale::DataSizeTraditionalFormat);
        case StateColumn:
            return stateText(*r);
        case ColumnCount:
            break;
        }
    }
    if (role == SortRole) {
        switch (Column(index.column())) {
        case TimeColumn:
            return r->started.toMSecsSinceEpoch();
        case RecipientsColumn:
            return r->recipients.join(QStringLiteral(", ")).toLower();
        case SubjectColumn:
            return r->subject.toLower();
        case SizeColumn:
            return r->bytes;
        case StateColumn:
            return int(r->state);
        case ColumnCount:
            break;
        }
    }
    if (role == Qt::ToolTipRole && index.column() == StateColumn && !r->problem.isEmpty() &&
        (r->state == SentState::Failed || r->state == SentState::LeftLocked))
        return r->problem;
    if (role == Qt::TextAlignmentRole && index.column() == SizeColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant SentJobsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (Column(section)) {
    case TimeColumn:
        return m_texts.time;
    case RecipientsColumn:
        return m_texts.recipients;
    case SubjectColumn:
        return m_texts.subject;
    case SizeColumn:
        return m_texts.size;
    case StateColumn:
        return m_texts.state;
    case ColumnCount:
        break;
    }
    return {};
}
