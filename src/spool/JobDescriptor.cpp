#include "spool/JobDescriptor.h"

#include "client/OptionState.h"
#include "platform/BoundedFile.h"
#include "platform/Cp1252.h"
#include "platform/Text.h"

namespace {

// Field layout of the record.
constexpr int kLongField = kTextFieldBytes + 1; // ShortText200: length byte + 200 characters
constexpr int kShortField = 21;  // ShortText20: length byte + 20 characters
constexpr int kSenderEmailAt = kRecipientSlots * kLongField; // 100500
constexpr int kSenderNameAt = kSenderEmailAt + kLongField;   // 100701
constexpr int kSenderCompanyAt = kSenderNameAt + kLongField; // 100902
constexpr int kSubjectAt = kSenderCompanyAt + kLongField;    // 101103
constexpr int kEncryptionAt = kSubjectAt + kLongField;       // 101304
constexpr int kSelfExtractingAt = kEncryptionAt + kShortField; // 101325
constexpr int kExpiryAt = kSelfExtractingAt + kShortField;   // 101346
constexpr int kClosingWordAt = kExpiryAt + kShortField + 1;  // 101368, after one alignment byte
static_assert(kClosingWordAt + 2 == kDescriptorSize);

const QString kFreeSlot = QStringLiteral("n/a");

// Writes text, cut to the field's characters, as a length byte and its bytes.
void putText(QByteArray& record, int offset, int fieldSize, const QString& text)
{
    const QByteArray bytes = cp1252::encode(leftChars(text, fieldSize - 1)).left(fieldSize - 1);
    record[offset] = char(quint8(bytes.size()));
    record.replace(offset + 1, bytes.size(), bytes);
}

// Reads a field whose length byte has been checked.
QString getText(const QByteArray& record, int offset)
{
    const int length = quint8(record[offset]);
    return cp1252::decode(record.mid(offset + 1, length));
}

} // namespace

QByteArray EncodeJobDescriptor(const JobDescriptor& d)
{
    QByteArray record(kDescriptorSize, '\0');
    putText(record, kSenderEmailAt, kLongField, d.senderEmail);
    putText(record, kSenderNameAt, kLongField, d.senderName);
    putText(record, kSenderCompanyAt, kLongField, d.senderCompany);
    putText(record, kSubjectAt, kLongField, d.subject);
    putText(record, kEncryptionAt, kShortField, OptionState::word(d.encrypted));
    putText(record, kSelfExtractingAt, kShortField, OptionState::word(d.selfExtracting));
    putText(record, kExpiryAt, kShortField, d.expireHours);
    for (int slot = 0; slot < kRecipientSlots; ++slot)
        putText(record, slot * kLongField, kLongField, kFreeSlot);
    // Empty entries take no slot; the record holds no more than its 500 slots (the
    // submission refuses a longer list before anything is written).
    int slot = 0;
    for (const QString& recipient : d.recipients) {
        if (recipient.isEmpty())
            continue;
        if (slot == kRecipientSlots)
            break;
        QByteArray free(kLongField, '\0');
        record.replace(slot * kLongField, kLongField, free);
        putText(record, slot * kLongField, kLongField, recipient);
        ++slot;
    }
    record[kClosingWordAt] = 1; // 16-bit little-endian 1
    record[kClosingWordAt + 1] = 0;
    return record;
}

std::optional<JobDescriptor> DecodeJobDescriptor(const QByteArray& bytes, QString* problem)
{
    auto fail = [problem](const QString& why) -> std::optional<JobDescriptor> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (bytes.size() != kDescriptorSize)
        return fail(QStringLiteral("the record is %1 bytes long, not %2").arg(bytes.size()).arg(kDescriptorSize));
    const int closing = quint8(bytes[kClosingWordAt]) | (quint8(bytes[kClosingWordAt + 1]) << 8);
    if (closing != 1)
        return fail(QStringLiteral("the closing word is %1, not 1").arg(closing));
    if (bytes[kClosingWordAt - 1] != 0)
        return fail(QStringLiteral("the spare byte %1 is %2, not 0").arg(kClosingWordAt - 1).arg(quint8(bytes[kClosingWordAt - 1])));

    // Every field: its length byte within the field, and nothing but zeros after its text.
    auto badField = [&bytes](int offset, int size, const QString& name) -> QString {
        const int length = quint8(bytes[offset]);
        if (length > size - 1)
            return QStringLiteral("the %1 field's length byte is %2, more than %3").arg(name).arg(length).arg(size - 1);
        for (int i = offset + 1 + length; i < offset + size; ++i)
            if (bytes[i] != 0)
                return QStringLiteral("byte %1, after the text of the %2 field, is %3, not 0")
                    .arg(i)
                    .arg(name)
                    .arg(quint8(bytes[i]));
        return {};
    };
    struct Field {
        int offset;
        int size;
        const char* name;
    };
    const Field fields[] = {
        {kSenderEmailAt, kLongField, "sender e-mail"}, {kSenderNameAt, kLongField, "sender name"},
        {kSenderCompanyAt, kLongField, "sender company"}, {kSubjectAt, kLongField, "subject"},
        {kEncryptionAt, kShortField, "encryption"}, {kSelfExtractingAt, kShortField, "self-extracting"},
        {kExpiryAt, kShortField, "expiry hours"},
    };
    for (const Field& f : fields)
        if (const QString why = badField(f.offset, f.size, QLatin1String(f.name)); !why.isEmpty())
            return fail(why);

    JobDescriptor d;
    // The options say "ENABLED" or "DISABLED" and nothing else; the expiry is 1 to 5 digits.
    auto option = [&](int offset, const char* name, bool* value) -> QString {
        const QString text = getText(bytes, offset);
        if (text != OptionState::word(true) && text != OptionState::word(false))
            return QStringLiteral("the %1 field holds \"%2\", not ENABLED or DISABLED").arg(QLatin1String(name), text);
        *value = text == OptionState::word(true);
        return {};
    };
    if (const QString why = option(kEncryptionAt, "encryption", &d.encrypted); !why.isEmpty())
        return fail(why);
    if (const QString why = option(kSelfExtractingAt, "self-extracting", &d.selfExtracting); !why.isEmpty())
        return fail(why);
    d.expireHours = getText(bytes, kExpiryAt);
    if (!IsExpiryText(d.expireHours))
        return fail(QStringLiteral("the expiry hours field holds \"%1\", not 1 to 5 digits").arg(d.expireHours));

    // The recipients fill the slots from slot 0; every slot after them holds "n/a".
    int firstFree = -1;
    for (int slot = 0; slot < kRecipientSlots; ++slot) {
        const int offset = slot * kLongField;
        if (const QString why = badField(offset, kLongField, QStringLiteral("recipient slot %1").arg(slot));
            !why.isEmpty())
            return fail(why);
        const QString text = getText(bytes, offset);
        if (text.isEmpty())
            return fail(QStringLiteral("recipient slot %1 is empty; a free slot holds \"n/a\"").arg(slot));
        if (text == kFreeSlot) {
            if (firstFree < 0)
                firstFree = slot;
            continue;
        }
        if (firstFree >= 0)
            return fail(QStringLiteral("recipient slot %1 is filled after the free slot %2").arg(slot).arg(firstFree));
        d.recipients.append(text);
    }
    d.senderEmail = getText(bytes, kSenderEmailAt);
    d.senderName = getText(bytes, kSenderNameAt);
    d.senderCompany = getText(bytes, kSenderCompanyAt);
    d.subject = getText(bytes, kSubjectAt);
    return d;
}

bool IsExpiryText(const QString& text)
{
    if (text.isEmpty() || text.size() > kExpiryMaxDigits)
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

std::optional<JobDescriptor> ReadJobDescriptorFile(const QString& path, QString* problem)
{
    BoundedFile file(path);
    if (!file.isRegular()) {
        if (problem)
            *problem = file.notRegularText().toLower();
        return std::nullopt;
    }
    // The size is checked before a byte is read: a huge file is refused, not loaded.
    if (file.size() != kDescriptorSize) {
        if (problem)
            *problem = QStringLiteral("the record is %1 bytes long, not %2").arg(file.size()).arg(kDescriptorSize);
        return std::nullopt;
    }
    return DecodeJobDescriptor(file.readAll(), problem);
}
