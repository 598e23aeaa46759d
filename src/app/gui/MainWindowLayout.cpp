// Where the main window's controls stand, the order Tab visits them, where the focus
// starts on each page, and the keys that change pages.
#include "app/gui/MainWindow.h"

#include "app/gui/LabelledEdit.h"
#include "app/gui/MessagePage.h"
#include "app/gui/SendPage.h"
#include "app/gui/WelcomePage.h"
#include "selection/gui/DropZone.h"
#include "selection/gui/ShellBrowser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeView>

namespace {
// The corner of the page tabs that holds About: as high as the row of tabs, with the
// button 6 pixels below the window's top edge wherever the style puts the corner, and
// 20 pixels from the window's right edge.
class AboutCorner : public QWidget {
public:
    AboutCorner(QPushButton* about, QTabBar* tabs, QWidget* parent) : QWidget(parent), m_about(about), m_tabs(tabs)
    {
        about->setParent(this);
    }
    QSize sizeHint() const override { return {m_about->width() + kAboutRight, m_tabs->sizeHint().height()}; }

protected:
    void moveEvent(QMoveEvent* event) override
    {
        QWidget::moveEvent(event);
        place();
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        place();
    }

private:
    static constexpr int kAboutTop = 6;
    static constexpr int kAboutRight = 20;
    void place() { m_about->move(0, kAboutTop - mapTo(window(), QPoint()).y()); }
    QPushButton* m_about;
    QTabBar* m_tabs;
};
} // namespace

QWidget* MainWindow::aboutCorner()
{
    auto* corner = new AboutCorner(m_aboutButton, m_pages->tabBar(), m_pages);
    corner->setObjectName(QStringLiteral("AboutCorner"));
    return corner;
}

// The fixed placements of the wizard, all relative to each control's own panel and
// following the window's width. The text boxes, the browser and the drop zone fill
// what their containers leave.
void MainWindow::LayoutWizard()
{
    const int w = width();

    m_welcomePage->placeControls(w);

    m_selectPage->placeControls(w);

    m_messagePage->placeControls(w);
    m_sendPage->placeControls(w);
    placeSentJobsButton();
}

// Tab follows the eye: the page tabs and About, then each page from top to bottom and
// left to right. The recipient list sits behind the TO field but Tab skips it.
void MainWindow::setTabOrders()
{
    const QList<QWidget*> chain = QList<QWidget*>{m_pages->tabBar(), m_aboutButton} + m_welcomePage->tabChain() + m_selectPage->tabChain() + m_messagePage->tabChain() + m_sendPage->tabChain();
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

// Ctrl+Tab and Ctrl+Shift+Tab move to the next and the previous page from anywhere in
// the window, as a click on the page's tab does.
void MainWindow::addPageKeys()
{
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(next, &QShortcut::activated, this, [this] { stepPage(1); });
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)}) {
        auto* previous = new QShortcut(keys, this);
        connect(previous, &QShortcut::activated, this, [this] { stepPage(-1); });
    }
}

// Each page starts with the focus in its first field: the welcome text, the path box,
// the sender line, the send log.
void MainWindow::focusFirstField(Page page)
{
    QWidget* first = nullptr;
    switch (page) {
    case Page::Welcome:
        first = m_welcomePage->firstField();
        break;
    case Page::Select:
        first = m_selectPage->firstField();
        break;
    case Page::Message:
        first = m_messagePage->firstField();
        break;
    case Page::Send:
        first = m_sendPage->firstField();
        break;
    }
    if (first)
        first->setFocus(Qt::OtherFocusReason);
}
