// Where the main window's controls stand, the order Tab visits them, where the focus
// starts on each page, and the keys that change pages.
#include "app/gui/MainWindow.h"

#include "app/gui/LabelledEdit.h"
#include "app/gui/MessageEditor.h"
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
constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 25;
constexpr int kButtonTop = 8;
constexpr int kFieldHeight = 21;
constexpr int kAddressBookWidth = 104; // room for the longest caption, "Carnet d'adresse"

// The wizard buttons' three slots, counted from the window's right edge, 120 pixels
// wide with 16 between them. w is the window's width without a frame: the minimum size
// is measured the same way, so the numbers hold whatever a window manager draws around.
int slotA(int w) { return w - 158; }
int slotB(int w) { return w - 286; }

void placeButton(QPushButton* button, int left, int top = kButtonTop)
{
    button->setGeometry(left, top, kButtonWidth, kButtonHeight);
}

// A check box is as wide as its caption.
void placeCheckBox(QCheckBox* box, int left, int top)
{
    box->setGeometry(QRect(QPoint(left, top), box->sizeHint()));
}

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

    // Add message. The options row leaves room for the longest captions of the five
    // languages ("Verschlüsselt", "Expiration (heures):", "übernehmen").
    placeButton(m_messageNextButton, slotA(w));
    placeButton(m_messagePreviousButton, slotB(w));
    placeCheckBox(m_encryptBox, 10, 8);
    placeCheckBox(m_sfxBox, 112, 8);
    m_expiryEdit->placeEdit(QRect(280, 8, 46, kFieldHeight));
    m_applyExpiryButton->setGeometry(330, 6, 80, kButtonHeight);

    const bool addressBook = m_client.state.OutlookEnabled;
    m_fromEdit->placeEdit(QRect(92, 16, w - 131, kFieldHeight));
    const QRect to(92, 48, addressBook ? w - 251 : w - 131, kFieldHeight);
    m_toEdit->placeEdit(to);
    m_subjectEdit->placeEdit(QRect(92, 76, w - 131, kFieldHeight));
    // The TO label's right edge stays at 88 whatever the language makes its width.
    const QSize toLabel = m_toLabel->sizeHint();
    m_toLabel->setGeometry(88 - toLabel.width(), 52, toLabel.width(), toLabel.height());
    m_addressBookButton->setVisible(addressBook);
    m_addressBookButton->setGeometry(w - 131, 46, kAddressBookWidth, kButtonHeight);
    // The recipient list drops down just below the TO field.
    m_recipientList->setGeometry(to.left() + 2, to.height() + 50, to.width() - 2, 80);

    m_sendPage->placeControls(w);
    placeSentJobsButton();
}

// Tab follows the eye: the page tabs and About, then each page from top to bottom and
// left to right. The recipient list sits behind the TO field but Tab skips it.
void MainWindow::setTabOrders()
{
    const QList<QWidget*> chain = QList<QWidget*>{m_pages->tabBar(), m_aboutButton} + m_welcomePage->tabChain() + m_selectPage->tabChain() + QList<QWidget*>{
        m_fromEdit->edit(), m_toEdit->edit(), m_recipientList, m_addressBookButton, m_subjectEdit->edit(),
        m_messageEditor, m_encryptBox, m_sfxBox, m_expiryEdit->edit(), m_applyExpiryButton, m_messagePreviousButton,
        m_messageNextButton} + m_sendPage->tabChain();
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
        first = m_fromEdit->edit();
        break;
    case Page::Send:
        first = m_sendPage->firstField();
        break;
    }
    if (first)
        first->setFocus(Qt::OtherFocusReason);
}
