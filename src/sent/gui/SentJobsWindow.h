#pragma once
// The Sent jobs window: the user's recorded jobs as a table (time, recipients,
// subject, size, state), newest first and sortable by any column. It is not modal; a
// double click (or Enter) on a job shows its details.
#include "i18n/SentJobsTexts.h"

#include <QLocale>
#include <QWidget>

class QLabel;
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

Q_SIGNALS:
    // The window was closed or hidden, at this size.
    void hiddenAt(const QSize& size);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void showDetails(const QModelIndex& index);

    SentStore& m_store;
    SentJobsTexts m_texts;
    QLocale m_locale;
    SentJobsModel* m_model;
    QSortFilterProxyModel* m_sorted;
    QTableView* m_table;
    QLabel* m_looked;
    QPushButton* m_close;
    SentJobDetails* m_details = nullptr;
};
