// The active language on the main window: every caption, Qt's own texts, and the names
// assistive tools read out.
#include "app/gui/MainWindow.h"

#include "app/gui/LabelledEdit.h"
#include "app/gui/MessagePage.h"
#include "app/gui/SendPage.h"
#include "app/gui/WelcomePage.h"
#include "i18n/LanguageLocale.h"
#include "i18n/SentJobsTexts.h"
#include "platform/Text.h"
#include "selection/gui/DropZone.h"
#include "selection/gui/ShellBrowser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeView>

void MainWindow::ApplyLanguage()
{
    const ClientState& st = m_client.state;
    LanguageTexts& t = m_client.texts;
    t.load(st.LanguageName, st.ProductTitle.isEmpty() ? kProductTitle : st.ProductTitle,
           st.VersionText.isEmpty() ? kVersionText : st.VersionText);


    m_pages->setTabText(int(Page::Welcome), leftChars(t[TabWelcome], 30));
    m_pages->setTabText(int(Page::Select), leftChars(t[TabSelect], 30));
    m_pages->setTabText(int(Page::Message), leftChars(t[TabAddMessage], 30));
    m_pages->setTabText(int(Page::Send), leftChars(t[TabSend], 30));
    m_sentJobsButton->setText(SentJobsTextsFor(st.LanguageName).title);

    // Beyond the language tables: Qt's own texts, in place before the pages take theirs.
    const QLocale locale = LanguageLocale(st.LanguageName);
    m_qtTranslations.use(locale);

    m_welcomePage->applyLanguage();
    m_selectPage->applyLanguage();
    m_messagePage->applyLanguage();
    m_sendPage->applyLanguage();
    // Captions changed their widths: the TO label keeps its right edge, and so on.
    LayoutWizard();
}

