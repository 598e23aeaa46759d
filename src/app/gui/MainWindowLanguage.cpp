// The active language on the main window: every caption, Qt's own texts, and the names
// assistive tools read out.
#include "app/gui/MainWindow.h"

#include "app/gui/LabelledEdit.h"
#include "app/gui/MessageEditor.h"
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


    m_toLabel->setText(leftChars(t[ToLabel], 10));
    m_fromEdit->setLabelText(leftChars(t[FromLabel], 10));
    m_subjectEdit->setLabelText(leftChars(t[SubjectLabel], 10));
    m_messageNextButton->setText(leftChars(t[NextCaption], 16));
    m_messagePreviousButton->setText(leftChars(t[PreviousCaption], 16));
    m_pages->setTabText(int(Page::Welcome), leftChars(t[TabWelcome], 30));
    m_pages->setTabText(int(Page::Select), leftChars(t[TabSelect], 30));
    m_pages->setTabText(int(Page::Message), leftChars(t[TabAddMessage], 30));
    m_pages->setTabText(int(Page::Send), leftChars(t[TabSend], 30));
    m_expiryEdit->setLabelText(leftChars(t[ExpireLabel], 30));
    m_expiryEdit->setToolTip(t[ExpiryHint]);
    m_expiryEdit->edit()->setToolTip(t[ExpiryHint]);
    m_encryptBox->setText(t[EncryptedCaption]);
    m_addressBookButton->setText(t[AddressBookCaption]);
    m_applyExpiryButton->setText(t[ApplyCaption]);
    m_sentJobsButton->setText(SentJobsTextsFor(st.LanguageName).title);

    // Beyond the language tables: Qt's own texts, in place before the pages take theirs.
    const QLocale locale = LanguageLocale(st.LanguageName);
    m_qtTranslations.use(locale);

    m_welcomePage->applyLanguage();
    m_selectPage->applyLanguage();
    m_sendPage->applyLanguage();
    nameControls();
    // Captions changed their widths: the TO label keeps its right edge, and so on.
    LayoutWizard();
}

// Assistive tools read a control's caption; fields and lists take the caption of the
// label beside them, or of the page or panel they fill.
void MainWindow::nameControls()
{
    const LanguageTexts& t = m_client.texts;
    const std::pair<QWidget*, QString> names[] = {
        {m_fromEdit->edit(), m_fromEdit->subLabel()->text()},
        {m_toEdit->edit(), m_toLabel->text()},
        {m_recipientList, m_toLabel->text()},
        {m_subjectEdit->edit(), m_subjectEdit->subLabel()->text()},
        {m_messageEditor, t[TabAddMessage]},
        {m_expiryEdit->edit(), m_expiryEdit->subLabel()->text()},
    };
    for (const auto& [widget, name] : names)
        widget->setAccessibleName(name);
    m_expiryEdit->edit()->setAccessibleDescription(t[ExpiryHint]);
}
