#include "app/gui/ClientProgram.h"

#include "client/Client.h"
#include "app/gui/ProgramEnd.h"
#include "app/gui/MainWindow.h"
#include "app/gui/SingleWindow.h"
#include "app/gui/StopRequests.h"
#include "config/UserSettings.h"
#include "platform/Errors.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/AfterSubmissionDialog.h"
#include "dialogs/SettingsDialog.h"
#include "recipients/gui/ContactsPicker.h"
#include "platform/gui/FramePlace.h"

#include <QApplication>
#include <QDebug>
#include <QFontDatabase>
#include <QScopeGuard>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <thread>

ClientProgram::ClientProgram(Client& client)
{
    // The windows' placements are made for captions in an 8-point face.
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
    m_main = std::make_unique<MainWindow>(client);
    m_order << m_main->metaObject()->className();
    m_settings = std::make_unique<SettingsDialog>();
    m_order << m_settings->metaObject()->className();
    m_afterSubmission = std::make_unique<AfterSubmissionDialog>();
    m_order << m_afterSubmission->metaObject()->className();
    m_contacts = std::make_unique<ContactsPicker>();
    m_order << m_contacts->metaObject()->className();
    m_about = std::make_unique<AboutDialog>();
    m_order << m_about->metaObject()->className();
    m_main->setDialogs(m_settings.get(), m_afterSubmission.get(), m_contacts.get(), m_about.get());
    // Told to stop from outside, the program keeps the user's settings as Quit does,
    // once its window was there to change them.
    StopRequests::instance().setBeforeEnd([&client] {
        if (!client.form.windowVisible())
            return;
        try {
            SaveUserSettings(client);
        } catch (const UserError& e) {
            qWarning().noquote() << e.message();
        }
    });
}

ClientProgram::~ClientProgram()
{
    StopRequests::instance().setBeforeEnd({});
    m_about.reset();
    m_contacts.reset();
    m_afterSubmission.reset();
    m_settings.reset();
    m_main.reset();
}

void ClientProgram::show()
{
    if (ProgramEnd::requested())
        return;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        CentreFrameOn(*m_main, screen->availableGeometry().center());
    m_main->show();
}

namespace {
PromptAnswer presentMessageBox(const Prompt& prompt)
{
    // Told to stop from outside: nobody may be there to answer a box, so the text goes
    // to standard error and the program goes on to its end.
    if (!StopRequests::reason().isEmpty()) {
        qWarning().noquote() << prompt.caption + QStringLiteral(": ") + prompt.text;
        return prompt.kind == PromptKind::Confirm ? PromptAnswer::No : PromptAnswer::Ok;
    }
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

int RunClientProgram(Client& client, const QStringList& paths, SingleWindow* single)
{
    // Filling the font database (reading the system's font configuration) takes about
    // as long as the rest of start-up before the window shows. It is thread-safe, so it
    // runs beside start-up, which reads the policy file and the settings meanwhile.
    std::thread fonts([] { QFontDatabase::families(); });
    const auto joinFonts = qScopeGuard([&fonts] { fonts.join(); });
    client.prompter.setPresenter(presentMessageBox);
    StopRequests::instance().install();
    // Ending the program stops the event loop with the code it was given.
    QObject::connect(&ProgramEnd::instance(), &ProgramEnd::endRequested, qApp,
                     [](int code) { QCoreApplication::exit(code); });
    ClientProgram program(client);
    if (ProgramEnd::requested())
        return ProgramEnd::code();
    program.show();
    if (ProgramEnd::requested())
        return ProgramEnd::code();
    MainWindow* window = program.mainWindow();
    window->openPaths(paths, MainWindow::PathsFrom::Start);
    if (single) {
        single->setReceiver([window](const QStringList& handed) { window->openPaths(handed, MainWindow::PathsFrom::LaterStart); });
        // Later starts are heard once the window is up; meanwhile they wait to connect.
        single->listenLate();
    }
    const auto noWindowAnyMore = qScopeGuard([single] {
        if (single)
            single->setReceiver({});
    });
    const int code = QApplication::exec();
    return ProgramEnd::requested() ? ProgramEnd::code() : code;
}
