#include "dialogs/AfterSubmissionDialog.h"

#include "i18n/LanguageTexts.h"
#include "platform/gui/FontUnits.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QWindow>
#include <tuple>

namespace {
constexpr int kButtonTop = 36;
constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 25;
} // namespace

AfterSubmissionDialog::AfterSubmissionDialog(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_question(new QLabel(this)),
      m_resetButton(new QPushButton(QStringLiteral("Reset"), this)),
      m_continueButton(new QPushButton(QStringLiteral("Continue"), this)),
      m_quitButton(new QPushButton(QStringLiteral("Quit"), this)),
      m_resetBox(new QCheckBox(this)),
      m_continueBox(new QCheckBox(this)),
      m_quitBox(new QCheckBox(this))
{
    setObjectName(QStringLiteral("AfterSubmissionDialog"));
    m_question->setObjectName(QStringLiteral("Label1"));
    // Side by side across the dialog, 12 pixels in from either edge.
    const std::tuple<QPushButton*, const char*, int> buttons[] = {
        {m_resetButton, "Reset", 12}, {m_continueButton, "Continue", 146}, {m_quitButton, "Quit", 279}};
    for (const auto& [button, name, left] : buttons) {
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(true); // Enter presses the button that has the focus
    }
    PlaceOnFontChange(this, [this, buttons] {
        const FontUnits u = FontUnits::of(this);
        setFixedSize(u.size(411, 72));
        m_question->setGeometry(u.rect(12, 10, 387, 18));
        for (const auto& [button, name, left] : buttons)
            button->setGeometry(u.rect(left, kButtonTop, kButtonWidth, kButtonHeight));
    });
    const std::pair<QCheckBox*, const char*> boxes[] = {
        {m_resetBox, "CBreset"}, {m_continueBox, "CBcontinue"}, {m_quitBox, "CBquit"}};
    for (const auto& [box, name] : boxes) {
        box->setObjectName(QLatin1String(name));
        box->setFocusPolicy(Qt::NoFocus);
        box->hide();
    }
    setTabOrder(m_resetButton, m_continueButton);
    setTabOrder(m_continueButton, m_quitButton);

    connect(m_resetButton, &QPushButton::clicked, this, [this] { answer(m_resetBox); });
    connect(m_continueButton, &QPushButton::clicked, this, [this] { answer(m_continueBox); });
    connect(m_quitButton, &QPushButton::clicked, this, [this] { answer(m_quitBox); });
}

void AfterSubmissionDialog::prepare(const LanguageTexts& texts)
{
    m_resetBox->setChecked(false);
    m_continueBox->setChecked(false);
    m_quitBox->setChecked(false);
    m_resetButton->setText(texts[PostReset]);
    m_continueButton->setText(texts[PostContinue]);
    m_quitButton->setText(texts[PostQuit]);
    m_question->setText(texts[PostQuestion]);
    setWindowTitle(texts[PostCaption]);
}

void AfterSubmissionDialog::showOver(QWidget* owner)
{
    setEnabled(true);
    if (owner) {
        QRect centred = rect();
        centred.moveCenter(owner->geometry().center());
        setGeometry(centred);
        create();
        if (windowHandle() && owner->windowHandle())
            windowHandle()->setTransientParent(owner->windowHandle());
    }
    show();
    raise();
    activateWindow();
    m_resetButton->setFocus(Qt::ActiveWindowFocusReason);
}

AfterSubmissionDialog::Choice AfterSubmissionDialog::choice() const
{
    if (m_resetBox->isChecked())
        return Choice::Reset;
    if (m_continueBox->isChecked())
        return Choice::Continue;
    if (m_quitBox->isChecked())
        return Choice::Quit;
    return Choice::None;
}

void AfterSubmissionDialog::answer(QCheckBox* box)
{
    box->setChecked(true);
    setEnabled(false);
    hide();
}

void AfterSubmissionDialog::closeEvent(QCloseEvent* event)
{
    // The window's close box counts as Quit (the quit question follows).
    if (isVisible() && choice() == Choice::None)
        answer(m_quitBox);
    event->accept();
}

void AfterSubmissionDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape leaves the project as it is.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_continueButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
