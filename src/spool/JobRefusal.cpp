#include "spool/JobRefusal.h"

#include "client/Client.h"
#include "platform/Cp1252.h"
#include "platform/Text.h"
#include "spool/JobDescriptor.h"

#include <tuple>

namespace {

// How a refusal ends: what the user does next, in the words of the window or of the
// command line. The rules are the same for both.
QString retry(RefusalAudience audience)
{
    return audience == RefusalAudience::CommandLine ? QStringLiteral("run the command again.")
                                                    : QStringLiteral("press Finish again.");
}

// A control character would reach the server as part of an address, a name or a
// subject, where a line break starts a header line of its own in a mail made from it:
// it is refused, naming the field and the character. A message's lines may hold tabs.
QString controls(const QString& field, const QString& text, RefusalAudience audience, bool allowTab = false)
{
    const qsizetype at = firstControl(text, allowTab);
    if (at < 0)
        return {};
    return QStringLiteral("The %1 holds %2, which a job cannot carry. Remove it and %3")
        .arg(field, controlText(text[at]), retry(audience));
}

// A text the server would receive as '?' is refused, naming the field.
QString unsendable(const QString& field, const QString& text, RefusalAudience audience)
{
    QString bad;
    if (cp1252::canEncode(text, &bad))
        return {};
    const QString code = QString::number(bad.toUcs4().value(0), 16).toUpper().rightJustified(4, u'0');
    return QStringLiteral("The %1 contains the character \"%2\" (U+%3), which cannot be sent. Remove it and %4")
        .arg(field, bad, code, retry(audience));
}

// A text longer than its field in the job would reach the server cut, as another
// address or name: it is refused, naming the field and its limit. Every character
// that passed unsendable() takes one byte.
QString tooLong(const QString& field, const QString& text, int limit, const QString& where, RefusalAudience audience)
{
    const qsizetype length = cp1252::encode(text).size();
    if (length <= limit)
        return {};
    return QStringLiteral("The %1 is %2 characters long, but a job has room for %3. Shorten it%4 and %5")
        .arg(field)
        .arg(length)
        .arg(limit)
        .arg(where, retry(audience));
}

// A recipient as a refusal names it: a long one by its beginning.
QString recipientField(const QString& recipient)
{
    constexpr int kShown = 40;
    return QStringLiteral("recipient ") +
           escapedControls(recipient.size() > kShown ? recipient.left(kShown) + QStringLiteral("...") : recipient);
}

} // namespace

QString JobRefusal(const Client& client, RefusalAudience audience)
{
    const ClientForm& form = client.form;
    const ClientState& state = client.state;
    qsizetype recipients = 0;
    for (const QString& r : form.recipients())
        if (!r.isEmpty())
            ++recipients;
    if (recipients > kRecipientSlots)
        return QStringLiteral("There are %1 recipients, but a job can go to at most %2. Remove %3 and %4")
            .arg(recipients)
            .arg(kRecipientSlots)
            .arg(recipients - kRecipientSlots)
            .arg(retry(audience));

    for (const QString& r : form.recipients()) {
        const QString field = recipientField(r);
        if (QString why = controls(field, r, audience); !why.isEmpty())
            return why;
        if (QString why = unsendable(field, r, audience); !why.isEmpty())
            return why;
        if (QString why = tooLong(field, r, kTextFieldBytes, QString(), audience); !why.isEmpty())
            return why;
    }
    // The subject box takes no more than its field holds; from the command line a
    // longer subject is refused like a long recipient. The sender's fields come from
    // the settings.
    const QString inSettings = QStringLiteral(" in the Settings");
    const std::tuple<const char*, QString, QString> fields[] = {
        {"subject", form.subjectText(), QString()},
        {"sender's e-mail address", state.SenderEmail, inSettings},
        {"sender's name", state.SenderName, inSettings},
        {"sender's company", state.SenderCompany, inSettings},
    };
    for (const auto& [field, text, where] : fields) {
        if (QString why = controls(QLatin1String(field), text, audience); !why.isEmpty())
            return why;
        if (QString why = unsendable(QLatin1String(field), text, audience); !why.isEmpty())
            return why;
        if (QString why = tooLong(QLatin1String(field), text, kTextFieldBytes, where, audience); !why.isEmpty())
            return why;
    }

    qsizetype messageChars = 0;
    for (const QString& line : form.messageLines()) {
        if (QString why = controls(QStringLiteral("message"), line, audience, true); !why.isEmpty())
            return why;
        if (QString why = unsendable(QStringLiteral("message"), line, audience); !why.isEmpty())
            return why;
        messageChars += line.size();
    }
    // Counted as the message editor counts: one character for each line end.
    messageChars += qMax<qsizetype>(0, form.messageLines().size() - 1);
    if (messageChars > kMessageMaxChars)
        return QStringLiteral("The message is %1 characters long, but a message holds at most %2. Shorten it and %3")
            .arg(messageChars)
            .arg(kMessageMaxChars)
            .arg(retry(audience));

    if (!IsExpiryText(form.expireText()))
        return QStringLiteral("The expiry \"%1\" is not a number of hours of 1 to %2 digits. Correct it and %3")
            .arg(form.expireText())
            .arg(kExpiryMaxDigits)
            .arg(retry(audience));
    return {};
}

