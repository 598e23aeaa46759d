#include "app/gui/ProgramEnd.h"

#include "client/Client.h"
#include "platform/Errors.h"

#include <QApplication>
#include <QWidget>

ProgramEnd& ProgramEnd::instance()
{
    static ProgramEnd end;
    return end;
}

void ProgramEnd::request(int code)
{
    ProgramEnd& end = instance();
    if (end.m_requested)
        return;
    end.m_requested = true;
    end.m_code = code;
    // The user sees the program gone at once, even while the loop still winds down.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        w->hide();
    Q_EMIT end.endRequested(code);
}

void ProgramEnd::reset()
{
    instance().m_requested = false;
    instance().m_code = 0;
}

bool GuiGuarded(Client& client, const std::function<void()>& body)
{
    if (ProgramEnd::requested())
        return false;
    try {
        return client.guarded(body);
    } catch (const ProcessExit& e) {
        ProgramEnd::request(e.code);
    } catch (const std::exception& e) {
        client.prompter.error(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void WaitWhile(const std::function<bool()>& busy)
{
    while (busy() && !ProgramEnd::requested())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (ProgramEnd::requested())
        throw ProcessExit{ProgramEnd::code()};
}
