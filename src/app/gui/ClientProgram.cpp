#include "app/gui/ClientProgram.h"

#include "client/Client.h"
#include "app/gui/ProgramEnd.h"
#include "app/gui/pvx_pas.h"
#include "dialogs/parvelaclient_about.h"
#include "dialogs/pvx_post.h"
#include "dialogs/pvx_settings.h"
#include "recipients/gui/pvx_adr.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

ClientProgram::ClientProgram(Client& client)
{
    m_main = std::make_unique<TPVX>(client);
    m_order << m_main->metaObject()->className();
    m_settings = std::make_unique<Tfsettings>();
    m_order << m_settings->metaObject()->className();
    m_post = std::make_unique<Tpost>();
    m_order << m_post->metaObject()->className();
    m_adr = std::make_unique<Tadr>();
    m_order << m_adr->metaObject()->className();
    m_about = std::make_unique<Tparvelaclientabout>();
    m_order << m_about->metaObject()->className();
    m_main->setDialogs(m_settings.get(), m_post.get(), m_adr.get(), m_about.get());
}

ClientProgram::~ClientProgram()
{
    m_about.reset();
    m_adr.reset();
    m_post.reset();
    m_settings.reset();
    m_main.reset();
}

void ClientProgram::show()
{
    if (ProgramEnd::requested())
        return;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = m_main->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        m_main->move(frame.topLeft());
    }
    m_main->show();
}

namespace {
PromptAnswer presentMessageBox(const Prompt& prompt)
{
    QMessageBox box;
    box.setWindowTitle(prompt.caption);
    box.setText(prompt.text);
    box.setTextFormat(Qt::PlainText);
    switch (prompt.kind) {
    case PromptKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case PromptKind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case PromptKind::Confirm:
        box.setIcon(QMessageBox::Question);
        break;
    case PromptKind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    if (prompt.kind == PromptKind::Confirm) {
        QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        // A box closed without an answer counts as No.
        return box.clickedButton() == yes ? PromptAnswer::Yes : PromptAnswer::No;
    }
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
    return PromptAnswer::Ok;
}
} // namespace

int RunClientProgram(Client& client)
{
    client.prompter.setPresenter(presentMessageBox);
    // Ending the program stops the event loop with the code it was given.
    QObject::connect(&ProgramEnd::instance(), &ProgramEnd::endRequested, qApp,
                     [](int code) { QCoreApplication::exit(code); });
    ClientProgram program(client);
    if (ProgramEnd::requested())
        return ProgramEnd::code();
    program.show();
    if (ProgramEnd::requested())
        return ProgramEnd::code();
    const int code = QApplication::exec();
    return ProgramEnd::requested() ? ProgramEnd::code() : code;
}
