#pragma once
// The Sent jobs window: the user's recorded jobs as a table (time, recipients,
// subject, size, state), newest first and sortable by any column, narrowed by a filter
// box (recipients, subject, job name). It is not modal; a double click (or Enter) on a
// job shows its details, and its context menu copies its name. Escape or Ctrl+W close it.
#include "i18n/SentJobsTexts.h"

#include <QLocale>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class SentJobDetails;
class SentJobsModel;
class SentStore;

class SentJobsWindow : public QWidget {
    Q_OBJECT
public:
    explicit SentJobsWindow(SentStore& store, QWidget* parent = nullptr);

    void setTexts(const SentJobsTexts& texts, const QLocale& locale);
    // Reads the records again and looks at their upload folders.
    void refresh();
    const SentJobsModel* model() const { return m_model; }
    // Shows a job's details (the filter cleared if it hides the job); false when the
    // record has no such job.
    bool showJob(qint64 id);

Q_SIGNALS:
    // The window was closed or hidden, at this place and size.
    void hiddenAt(const QRect& geometry);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void showDetails(const QModelIndex& index);
    void showMenu(const QPoint& at);
    void fitStateColumn();

    SentStore& m_store;
    SentJobsTexts m_texts;
    QLocale m_locale;
    SentJobsModel* m_model;
    QSortFilterProxyModel* m_sorted;
    QTableView* m_table;
    QLineEdit* m_filter;
    QLabel* m_looked;
    QString m_lookedTime;
    QStringList m_fittedStates; // the texts the State column was last made wide enough for
    QPushButton* m_close;
    SentJobDetails* m_details = nullptr;
    qint64 m_detailsJob = 0; // the job its details show
};
