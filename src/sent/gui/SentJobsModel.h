#pragma once
// The recorded jobs as a table for the Sent jobs window: time, recipients, subject,
// size, state. The display role holds the texts, the sort role what a column sorts by
// (times and sizes as numbers).
#include "i18n/SentJobsTexts.h"
#include "sent/SentRecord.h"

#include <QAbstractTableModel>
#include <QList>
#include <QLocale>

class SentJobsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, RecipientsColumn, SubjectColumn, SizeColumn, StateColumn, ColumnCount };
    static constexpr int SortRole = Qt::UserRole;
    static constexpr int IdRole = Qt::UserRole + 1;
    // What the filter box looks in: recipients, subject and job name, a line each.
    static constexpr int FilterRole = Qt::UserRole + 2;

    explicit SentJobsModel(QObject* parent = nullptr);

    void setTexts(const SentJobsTexts& texts, const QLocale& locale);
    // The records to show. The same jobs as before, in the same order, only change
    // their rows (selection and sorting stay); other records replace the table.
    void setRecords(QList<SentRecord> records);
    const SentRecord* recordAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // A state as the table shows it: "taken 2024-05-03 14:07" with the time it was taken.
    QString stateText(const SentRecord& record) const;
    // Every text the State column can show, a job taken at the latest hour of a day.
    QStringList allStateTexts() const;
    // The row of a job, or -1.
    int rowOf(qint64 id) const;
    static QString localTime(const QDateTime& utc);

private:
    QList<SentRecord> m_records;
    SentJobsTexts m_texts;
    QLocale m_locale;
};
