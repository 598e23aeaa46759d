#include "app/gui/MainWindow.h"

#include "app/Startup.h"
#include "app/gui/CopyProgressWindow.h"
#include "app/gui/MessagePage.h"
#include "app/gui/ProgramEnd.h"
#include "app/gui/SendPage.h"
#include "app/gui/WelcomePage.h"
#include "i18n/LanguageLocale.h"
#include "i18n/SentJobsTexts.h"
#include "platform/Text.h"
#include "platform/gui/FontUnits.h"
#include "platform/gui/SchemeColours.h"
#include "recipients/gui/ContactsPicker.h"
#include "sent/gui/SentJobs.h"
#include "spool/JobOptions.h"
#include "platform/gui/FramePlace.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
// The page tabs: the caption each carries until the language is applied, and the
// language's text for it (cut to 30 characters), in the order of Page.
struct PageTab {
    const char* english;
    Slot slot;
};
constexpr PageTab kPageTabs[] = {
    {"Welcome", TabWelcome}, {"Select files/folders", TabSelect}, {"Add message", TabAddMessage}, {"Send", TabSend}};
static_assert(std::size(kPageTabs) == std::size(kPages));

// Opens the Sent jobs window from anywhere in the window; its button's tooltip says so.
const QKeySequence kSentJobsKey(Qt::CTRL | Qt::Key_J);

// The corner of the page tabs that holds About: as high as the row of tabs, with the
// button 6 pixels below the window's top edge wherever the style puts the corner, and
// 20 pixels from the window's right edge (in the design face's pixels).
class AboutCorner : public QWidget {
public:
    AboutCorner(QPushButton* about, QTabBar* tabs, QWidget* parent) : QWidget(parent), m_about(about), m_tabs(tabs)
    {
        setObjectName(QStringLiteral("AboutCorner"));
        about->setParent(this);
    }
    QSize sizeHint() const override
    {
        return {m_about->width() + FontUnits::of(this).x(kAboutRight), m_tabs->sizeHint().height()};
    }

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
    // 20 pixels high, but never past the corner's bottom edge, which in a large face
    // would cut it off.
    void place()
    {
        const FontUnits u = FontUnits::of(this);
        m_about->setFixedHeight(qMin(u.y(20), height()));
        m_about->move(0, qMin(u.y(kAboutTop) - mapTo(window(), QPoint()).y(), height() - m_about->height()));
    }
    QPushButton* m_about;
    QTabBar* m_tabs;
};
} // namespace

MainWindow::MainWindow(Client& client, QWidget* parent) : QWidget(parent), m_client(client)
{
    setObjectName(QStringLiteral("MainWindow"));
    setAcceptDrops(true);

    // Start-up first: it needs no control, and it is mostly waiting for files while
    // the font database fills on a thread of its own (the program sets that off), which
    // every control with a text waits for.
    loadClient();
    m_progress = new CopyProgressWindow;
    m_sentJobs = std::make_unique<SentJobs>(m_client, this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* topStrip = new QWidget(this);
    topStrip->setObjectName(QStringLiteral("Panel6"));
    m_topStrip = topStrip;
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PC"));
    m_pages->setDocumentMode(true);
    layout->addWidget(topStrip);
    layout->addWidget(m_pages, 1);

    m_aboutButton = new QPushButton(QStringLiteral("About"), m_pages);
    m_aboutButton->setObjectName(QStringLiteral("Babout"));
    m_pages->setCornerWidget(new AboutCorner(m_aboutButton, m_pages->tabBar(), m_pages), Qt::TopRightCorner);
    connect(m_aboutButton, &QPushButton::clicked, this, &MainWindow::showAbout);

    auto* welcomePage = new WelcomePage(m_client, m_pages);
    addPage(welcomePage, Page::Welcome);
    m_selectPage = new SelectPage(m_client, m_pages);
    addPage(m_selectPage, Page::Select);
    m_messagePage = new MessagePage(m_client, m_pages);
    addPage(m_messagePage, Page::Message);
    m_sendPage = new SendPage(m_client, m_pages);
    addPage(m_sendPage, Page::Send);
    connect(welcomePage, &WelcomePage::settingsRequested, this, &MainWindow::RunSettingsDialog);
    connect(m_messagePage, &MessagePage::contactsRequested, this, &MainWindow::pickContacts);
    connect(m_sendPage, &SendPage::finishRequested, this, &MainWindow::finish);
    connect(m_pages, &QTabWidget::currentChanged, this, &MainWindow::pageShown);

    // The way to the record of sent jobs: a button in the tab strip, left of About,
    // while the Send page shows, and Ctrl+J from anywhere in the window. Neither moves
    // nor changes a control of the wizard.
    m_sentJobsButton = new QPushButton(SentJobsTextsFor(kEnglish).title, m_pages);
    m_sentJobsButton->setObjectName(QStringLiteral("BsentJobs"));
    m_sentJobsButton->setFocusPolicy(Qt::TabFocus);
    m_sentJobsButton->hide();
    connect(m_sentJobsButton, &QPushButton::clicked, this, &MainWindow::openSentJobs);
    connect(new QShortcut(kSentJobsKey, this), &QShortcut::activated, this,
            &MainWindow::openSentJobs);

    ClientForm& form = m_client.form;
    connect(&form, &ClientForm::startPageChanged, m_pages, [this, &form] { showPage(form.startPage()); });
    connect(&form, &ClientForm::colorSchemeApplied, this, &MainWindow::applyColorScheme);
    setTabOrders();
    addPageKeys();

    // File names dropped from other programs count on every page, whichever control
    // is under the mouse.
    const auto children = findChildren<QWidget*>();
    for (QWidget* w : children)
        w->installEventFilter(this);

    showLoadedClient();
    PlaceOnFontChange(this, [this] { placeInFace(); });
}

MainWindow::~MainWindow() { delete m_progress; }

void MainWindow::setDialogs(SettingsDialog* settings, AfterSubmissionDialog* afterSubmission,
                            ContactsPicker* contacts, AboutDialog* about)
{
    m_settings = settings;
    m_afterSubmission = afterSubmission;
    m_contacts = contacts;
    m_about = about;
}

void MainWindow::guarded(const std::function<void()>& body) { GuiGuarded(m_client, body); }

// ---------------------------------------------------------------- the pages in their frame

// Next goes to the following page, Previous to the one before; Quit asks first.
void MainWindow::addPage(WizardPage* page, Page at)
{
    m_pages->insertTab(int(at), page, QLatin1String(kPageTabs[int(at)].english));
    connect(page, &WizardPage::nextRequested, this, [this, at] { showPage(Page(int(at) + 1)); });
    connect(page, &WizardPage::previousRequested, this, [this, at] { showPage(Page(int(at) - 1)); });
    connect(page, &WizardPage::quitRequested, this, &MainWindow::askToQuit);
}

WizardPage* MainWindow::page(Page at) const { return static_cast<WizardPage*>(m_pages->widget(int(at))); }

void MainWindow::showPage(Page page) { m_pages->setCurrentIndex(int(page)); }
Page MainWindow::currentPage() const { return Page(m_pages->currentIndex()); }

void MainWindow::pageShown(int index)
{
    placeSentJobsButton();
    const Page shown = Page(index);
    if (shown == Page::Select && isVisible())
        m_selectPage->startListing();
    // Showing the message page or the send page closes the recipient list; the send
    // page then decides whether Finish is usable.
    if (shown == Page::Message || shown == Page::Send)
        m_messagePage->joinRecipients();
    if (shown == Page::Send)
        m_sendPage->shown();
    // Each page starts with the focus in its first field.
    page(shown)->firstField()->setFocus(Qt::OtherFocusReason);
}

void MainWindow::stepPage(int step)
{
    const int count = m_pages->count();
    m_pages->setCurrentIndex((m_pages->currentIndex() + step + count) % count);
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

// Tab follows the eye: the page tabs and About, then each page in its own order.
void MainWindow::setTabOrders()
{
    QList<QWidget*> chain = {m_pages->tabBar(), m_aboutButton};
    for (const Page at : kPages)
        chain += page(at)->tabChain();
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

// The fixed placements of the wizard follow the window's width; each page places its
// own controls, the text boxes, the browser and the drop zone fill what is left.
void MainWindow::LayoutWizard()
{
    for (const Page at : kPages)
        page(at)->place(width());
    placeSentJobsButton();
}

// The window's size and its fixed parts in the window's face: the design's 832 x 600
// (at least 700 x 600), grown with a larger face as far as the screen allows.
void MainWindow::placeInFace()
{
    const FontUnits u = FontUnits::of(this);
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    auto grown = [&](int width, int height) {
        return u.size(width, height).boundedTo(screen.size()).expandedTo({width, height});
    };
    m_topStrip->setFixedHeight(u.y(4));
    m_aboutButton->setFixedWidth(u.x(60));
    m_pages->cornerWidget(Qt::TopRightCorner)->updateGeometry();
    setMinimumSize(grown(700, 600));
    resize(size().expandedTo(grown(832, 600)));
    // A window that grew past the screen's edge comes back whole onto it.
    if (isVisible() && !screen.contains(frameGeometry()))
        CentreFrameOn(*this, screen.center());
    LayoutWizard();
}

void MainWindow::placeSentJobsButton()
{
    const FontUnits u = FontUnits::of(this);
    const QRect about(m_aboutButton->mapTo(m_pages, QPoint()), m_aboutButton->size());
    const int width = qMax(m_sentJobsButton->sizeHint().width(), u.x(90));
    m_sentJobsButton->setGeometry(about.left() - u.x(8) - width, about.top(), width, about.height());
    // Only in the strip's free part, never over a tab.
    const QTabBar* tabs = m_pages->tabBar();
    const int tabsEnd = tabs->mapTo(m_pages, tabs->tabRect(tabs->count() - 1).topRight()).x();
    m_sentJobsButton->setVisible(currentPage() == Page::Send && m_sentJobsButton->x() > tabsEnd);
}

void MainWindow::ApplyLanguage()
{
    const ClientState& st = m_client.state;
    LanguageTexts& t = m_client.texts;
    t.load(st.LanguageName, st.ProductTitle.isEmpty() ? kProductTitle : st.ProductTitle,
           st.VersionText.isEmpty() ? kVersionText : st.VersionText);
    for (const Page at : kPages)
        m_pages->setTabText(int(at), leftChars(t[kPageTabs[int(at)].slot], 30));
    // Qt's own texts first: the browser's column titles on the Select page follow them,
    // and the key's name ("Strg+J" in German).
    m_qtTranslations.use(LanguageLocale(st.LanguageName));
    const QString sentJobs = SentJobsTextsFor(st.LanguageName).title;
    m_sentJobsButton->setText(sentJobs);
    m_sentJobsButton->setToolTip(sentJobs + QStringLiteral(" (") + kSentJobsKey.toString(QKeySequence::NativeText) + u')');
    m_sentJobs->applyLanguage();
    for (const Page at : kPages)
        page(at)->applyLanguage();
    // Captions changed their widths: the TO label keeps its right edge, and so on.
    LayoutWizard();
}

void MainWindow::applyColorScheme(int scheme, bool includePicker)
{
    // A stored number above 1 shows as the default scheme; the number itself stays.
    if (scheme > 1 || scheme < 0)
        scheme = 0;
    m_colorScheme = scheme;
    // Every control that takes the scheme's background takes its text colour with it:
    // a background without its text colour is unreadable in some desktop or other.
    const SchemeColours colours = SchemeColoursFor(scheme, QApplication::palette());
    for (const Page at : kPages) {
        for (QWidget* control : page(at)->schemeControls())
            ApplySchemeColours(control, colours);
    }
    // The picker's lists take the colours only when the picker opens.
    if (includePicker && m_contacts)
        m_contacts->setListColours(colours);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutWizard();
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    // A click on the window's background closes the recipient list.
    m_messagePage->joinRecipients();
}

// ---------------------------------------------------------------- start, show, quit

void MainWindow::loadClient()
{
    m_windowsAtCreate = 0;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (w != this)
            ++m_windowsAtCreate;
    }
    m_client.state.StartupFailed = false;
    ConnectOptionStores(m_client);
    guarded([this] { StartClient(m_client); });
}

void MainWindow::showLoadedClient()
{
    if (ProgramEnd::requested())
        return;
    // Every form value into its control, now that start-up has filled the form.
    for (const Page at : kPages)
        page(at)->showFormValues();
    showPage(m_client.form.startPage());
    // The scheme was applied while loading, before there were controls to colour.
    applyColorScheme(m_client.state.ColorScheme, false);
    setWindowTitle(MainWindowCaption(m_client.state));
    // An unusable upload folder was reported by the probe; the program ends here.
    if (m_client.state.StartupFailed)
        ProgramEnd::request(0);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        firstShown();
}

void MainWindow::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // The file browser fills once the window is on screen: what the first paint shows
    // needs no folder listing, and the listing arrives a moment later anyway.
    if (!m_browserStarted) {
        m_browserStarted = true;
        QMetaObject::invokeMethod(m_selectPage, &SelectPage::startListing, Qt::QueuedConnection);
    }
}

void MainWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        m_client.form.setWindowVisible(false);
}

void MainWindow::firstShown()
{
    guarded([this] {
        m_client.form.setWindowVisible(true);
        ApplyLanguage();
        page(currentPage())->firstField()->setFocus(Qt::OtherFocusReason);
        // Jobs sent before are watched once the window is on screen.
        m_sentJobs->startWatching(1000);
        // The first start's Settings dialog opens once the window is on screen.
        if (m_client.state.FirstRun && !m_settingsPending) {
            m_settingsPending = true;
            QMetaObject::invokeMethod(this, [this] {
                m_settingsPending = false;
                if (m_client.state.FirstRun)
                    RunSettingsDialog();
            }, Qt::QueuedConnection);
        }
    });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The program ends only through the quit question (or auto-quit); a window that
    // is disabled (a dialog is up, a job is being copied) does not take the close.
    event->ignore();
    if (!isEnabled())
        return;
    guarded([this] { QuitProgram(m_client, false); });
}

void MainWindow::askToQuit() { guarded([this] { QuitProgram(m_client, false); }); }

// Moves of the About button (the tab strip placed it) place the Sent jobs button beside it.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Move && (watched == m_aboutButton || watched == m_aboutButton->parentWidget()))
        placeSentJobsButton();
    return filterShellDrop(event);
}
