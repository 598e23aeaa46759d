// The way from the main window to the record of sent jobs: a button in the tab strip,
// left of About, while the Send page shows, and Ctrl+J from anywhere in the window.
// Neither moves nor changes a control of the wizard.
#include "app/gui/MainWindow.h"

#include "i18n/SentJobsTexts.h"
#include "sent/gui/SentJobs.h"

#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>

void MainWindow::buildSentJobsButton()
{
    m_sentJobsButton = new QPushButton(SentJobsTextsFor(kEnglish).title, m_pages);
    m_sentJobsButton->setObjectName(QStringLiteral("BsentJobs"));
    m_sentJobsButton->setFocusPolicy(Qt::TabFocus);
    m_sentJobsButton->hide();
    connect(m_sentJobsButton, &QPushButton::clicked, this, &MainWindow::openSentJobs);
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_J), this);
    connect(key, &QShortcut::activated, this, &MainWindow::openSentJobs);
}

void MainWindow::placeSentJobsButton()
{
    const QRect about(m_aboutButton->mapTo(m_pages, QPoint()), m_aboutButton->size());
    const int width = qMax(m_sentJobsButton->sizeHint().width(), 90);
    m_sentJobsButton->setGeometry(about.left() - 8 - width, about.top(), width, about.height());
    // Only in the strip's free part, never over a tab.
    const QTabBar* tabs = m_pages->tabBar();
    const int tabsEnd = tabs->mapTo(m_pages, tabs->tabRect(tabs->count() - 1).topRight()).x();
    m_sentJobsButton->setVisible(currentPage() == Page::Send && m_sentJobsButton->x() > tabsEnd);
}

void MainWindow::openSentJobs()
{
    guarded([this] { m_sentJobs->openWindow(); });
}
