#include "spool/ProjectReset.h"

#include "client/Client.h"

void ResetProject(Client& client, bool rememberTo, bool rememberMessage)
{
    ClientForm& form = client.form;
    form.setSelection({});
    if (!rememberTo) {
        form.setFromText({});
        form.setToText({});
        form.setSubjectText({});
        form.setRecipients({});
    }
    if (!rememberMessage)
        form.setMessageLines({});
}
