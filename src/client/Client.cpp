#include "client/Client.h"

#include "platform/Errors.h"

bool Client::guarded(const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (const UserError& e) {
        prompter.error(e.message());
        return false;
    }
}
