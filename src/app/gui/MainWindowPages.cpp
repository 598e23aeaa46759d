// Building the main window's four pages and binding their controls to the form.
#include "app/gui/MainWindow.h"

#include "app/gui/LabelledEdit.h"
#include "app/gui/MessagePage.h"
#include "app/gui/SendPage.h"
#include "app/gui/WelcomePage.h"
#include "i18n/PathTexts.h"
#include "platform/gui/SchemeColours.h"
#include "recipients/gui/ContactsPicker.h"
#include "selection/gui/DropZone.h"
#include "selection/gui/ShellBrowser.h"
#include "spool/JobDescriptor.h"
#include "spool/JobRefusal.h"
#include "spool/Submission.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSplitter>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeView>
#include <QVBoxLayout>

// ---------------------------------------------------------------- building the pages

void MainWindow::buildWelcomePage()
{
    m_welcomePage = new WelcomePage(m_client, m_pages);
    m_pages->insertTab(int(Page::Welcome), m_welcomePage, QStringLiteral("Welcome"));
    connect(m_welcomePage, &WizardPage::nextRequested, this, &MainWindow::goToSelectPage);
    connect(m_welcomePage, &WelcomePage::quitRequested, this, &MainWindow::askToQuit);
    connect(m_welcomePage, &WelcomePage::settingsRequested, this, &MainWindow::RunSettingsDialog);
    connect(m_aboutButton, &QPushButton::clicked, this, &MainWindow::showAbout);
}

void MainWindow::buildSelectPage()
{
    m_selectPage = new SelectPage(m_client, m_pages);
    m_pages->insertTab(int(Page::Select), m_selectPage, QStringLiteral("Select files/folders"));
    connect(m_selectPage, &WizardPage::previousRequested, this, &MainWindow::goToWelcomePage);
    connect(m_selectPage, &WizardPage::nextRequested, this, &MainWindow::goToMessagePage);
}

void MainWindow::buildMessagePage()
{
    m_messagePage = new MessagePage(m_client, m_pages);
    m_pages->insertTab(int(Page::Message), m_messagePage, QStringLiteral("Add message"));
    connect(m_messagePage, &WizardPage::previousRequested, this, &MainWindow::goToSelectPage);
    connect(m_messagePage, &WizardPage::nextRequested, this, [this] { showPage(Page::Send); });
    connect(m_messagePage, &MessagePage::contactsRequested, this, &MainWindow::pickContacts);
}

void MainWindow::buildSendPage()
{
    m_sendPage = new SendPage(m_client, m_pages);
    m_pages->insertTab(int(Page::Send), m_sendPage, QStringLiteral("Send"));
    connect(m_sendPage, &WizardPage::previousRequested, this, &MainWindow::goToMessagePage);
    connect(m_sendPage, &SendPage::quitRequested, this, &MainWindow::askToQuit);
    connect(m_sendPage, &SendPage::finishRequested, this, &MainWindow::finish);
    connect(m_pages, &QTabWidget::currentChanged, this, &MainWindow::pageShown);
}

// ---------------------------------------------------------------- the form, both ways

void MainWindow::bindForm()
{
    ClientForm& form = m_client.form;
    connect(&form, &ClientForm::startPageChanged, m_pages, [this, &form] { showPage(form.startPage()); });

    connect(&form, &ClientForm::colorSchemeApplied, this, &MainWindow::applyColorScheme);
}

// Puts every form value into its control (after start-up has filled the form).
void MainWindow::showFormValues()
{
    const ClientForm& form = m_client.form;
    m_messagePage->showFormValues();
    m_welcomePage->showFormValues();
    m_selectPage->showFormValues();
    m_sendPage->showFormValues();
    showPage(form.startPage());
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
    for (WizardPage* page : std::initializer_list<WizardPage*>{m_welcomePage, m_selectPage, m_messagePage, m_sendPage})
        for (QWidget* w : page->schemeControls())
            ApplySchemeColours(w, colours);
    // The picker's lists take the colours only when the picker opens.
    if (includePicker && m_contacts)
        m_contacts->setListColours(colours);
}
