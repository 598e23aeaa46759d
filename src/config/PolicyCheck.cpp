#include "config/PolicyCheck.h"

#include "client/OptionState.h"
#include "config/Paths.h"
#include "i18n/LanguageTexts.h"
#include "i18n/Languages.h"
#include "platform/Errors.h"
#include "platform/ProfileReader.h"
#include "platform/Text.h"
#include "spool/JobDescriptor.h"

#include <QDir>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>

namespace {

using Line = ProfileReader::Line;
using Kind = ProfileReader::Line::Kind;

constexpr int kUploadFolderMaxChars = 250;
const QString kEnabled = QStringLiteral("ENABLED");
const QString kDisabled = QStringLiteral("DISABLED");
const QString kFourStates = QStringLiteral("ENABLED, DISABLED, ENABLED,LOCKED or DISABLED,LOCKED");

QString quoted(const QString& text) { return u'"' + text + u'"'; }


QString encodingName(ProfileReader::Encoding e)
{
    switch (e) {
    case ProfileReader::Encoding::Utf8:
        return QStringLiteral("UTF-8 with a byte-order mark");
    case ProfileReader::Encoding::Utf16LE:
        return QStringLiteral("UTF-16 little-endian with a byte-order mark");
    case ProfileReader::Encoding::Utf16BE:
        return QStringLiteral("UTF-16 big-endian with a byte-order mark");
    case ProfileReader::Encoding::Windows1252:
        break;
    }
    return QStringLiteral("Windows-1252");
}

QString lineEndsName(const ProfileReader& r)
{
    const QList<std::pair<int, QString>> kinds{
        {r.crLfCount(), QStringLiteral("CR LF")}, {r.lfCount(), QStringLiteral("LF")}, {r.crCount(), QStringLiteral("CR")}};
    QStringList present;
    for (const auto& [count, name] : kinds)
        if (count > 0)
            present.append(QStringLiteral("%1 %2").arg(count).arg(name));
    if (present.isEmpty())
        return QStringLiteral("none");
    if (present.size() == 1)
        return present.first().section(u' ', 1);
    return QStringLiteral("mixed (%1)").arg(present.join(QStringLiteral(", ")));
}

QString stateEffect(const OptionState& s)
{
    return QStringLiteral("%1, %2").arg(s.checked ? QStringLiteral("on") : QStringLiteral("off"),
                                        s.locked ? QStringLiteral("locked") : QStringLiteral("the user may change it"));
}

// Whether the text from i on is one or more digits of base.
bool allDigitsFrom(const QString& text, qsizetype i, int base)
{
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i)
        if (asciiDigit(text[i], base) < 0)
            return false;
    return true;
}

// Whether the whole text is a number as the profile reader reads it, nothing after it.
bool isWholeProfileInteger(const QString& text)
{
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    int base = 10;
    if (text.mid(i, 2) == QLatin1String("0x")) {
        base = 16;
        i += 2;
    }
    return allDigitsFrom(text, i, base);
}

// Whether the whole text is written as the size check's numbers are (blanks, a sign,
// decimal digits or '$' and hex digits), whatever its value.
bool isWrittenAsInteger(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    const int base = i < text.size() && text[i] == u'$' ? 16 : 10;
    if (base == 16)
        ++i;
    return allDigitsFrom(text, i, base);
}

class Checker {
public:
    Checker(const QByteArray& content) : m_reader(ProfileReader::fromBytes(content, true)) {}

    PolicyCheck run(const QByteArray& content)
    {
        m_result.encoding = encodingName(m_reader.encoding());
        m_result.lineEnds = lineEndsName(m_reader);
        m_result.lineCount = m_reader.lineCount();
        checkEncoding(content);
        checkLines();
        for (const PolicyKey& key : policykeys::all())
            readKey(key);
        std::stable_sort(m_result.warnings.begin(), m_result.warnings.end(),
                         [](const PolicyWarning& a, const PolicyWarning& b) { return a.line < b.line; });
        return m_result;
    }

private:
    void warn(int line, const QString& text) { m_result.warnings.append({line, text}); }

    // Text a modern editor saved as UTF-8 without the byte-order mark is read as
    // Windows-1252: "FRANçAIS" becomes "FRANÃ§AIS".
    void checkEncoding(const QByteArray& content)
    {
        if (m_reader.encoding() != ProfileReader::Encoding::Windows1252)
            return;
        const bool ascii = std::all_of(content.begin(), content.end(), [](char c) { return uchar(c) < 0x80; });
        if (ascii)
            return;
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString decoded = utf8.decode(content); // errors are known once the text is made
        if (!utf8.hasError())
            warn(0, QStringLiteral("the file is UTF-8 without a byte-order mark; it is read as Windows-1252, so its "
                                   "letters beyond ASCII read differently (save it with the mark, or as "
                                   "Windows-1252)"));
    }

    static bool knownSection(const QString& upper)
    {
        return upper == QLatin1String("SETTINGS") || upper == QLatin1String("POLICIES");
    }

    // The key's section when the program reads it, else empty.
    static QString sectionOf(const QString& upperKey)
    {
        for (const PolicyKey& k : policykeys::all())
            if (k.name == upperKey)
                return asciiUpper(k.section);
        return {};
    }

    void checkLines()
    {
        QHash<QString, int> firstHeader;         // upper-cased section -> line
        QHash<QString, int> firstKey;            // "SECTION\nKEY" -> line
        QString lastSection;                     // the header in force, as written
        for (const Line& l : m_reader.lines()) {
            const QString upperSection = asciiUpper(l.section);
            switch (l.kind) {
            case Kind::Section:
                firstHeader.insert(upperSection, l.number);
                lastSection = l.section;
                if (!knownSection(upperSection))
                    warn(l.number, QStringLiteral("section [%1] is not one the program reads (Settings, POLICIES): "
                                                  "its keys are ignored").arg(l.section));
                break;
            case Kind::RepeatedSection:
                lastSection = l.section;
                warn(l.number, QStringLiteral("section [%1] appears a second time (first on line %2): the keys "
                                              "under this header are ignored")
                                   .arg(l.section)
                                   .arg(firstHeader.value(upperSection)));
                break;
            case Kind::InRepeatedSection:
                warn(l.number, QStringLiteral("%1 is under the second [%2] header: ignored").arg(l.key, l.section));
                break;
            case Kind::BeforeSection:
                warn(l.number, QStringLiteral("%1 comes before the first section header: ignored").arg(quoted(l.text)));
                break;
            case Kind::Unbracketed:
                warn(l.number,
                     lastSection.isNull()
                         ? QStringLiteral("%1 has no \"]\": it is no section header").arg(quoted(l.text))
                         : QStringLiteral("%1 has no \"]\": it is no section header, and the keys after it belong "
                                          "to [%2]")
                               .arg(quoted(l.text), lastSection));
                break;
            case Kind::NoEquals:
                warn(l.number, QStringLiteral("%1 has no \"=\": no key, ignored").arg(quoted(l.text)));
                break;
            case Kind::RepeatedKey:
                warn(l.number, QStringLiteral("%1 appears a second time in [%2] (first on line %3): the first "
                                              "value counts")
                                   .arg(l.key, l.section)
                                   .arg(firstKey.value(upperSection + u'\n' + asciiUpper(l.key))));
                break;
            case Kind::Key: {
                const QString upperKey = asciiUpper(l.key);
                firstKey.insert(upperSection + u'\n' + upperKey, l.number);
                if (const qsizetype c = firstControl(l.value); c >= 0)
                    warn(l.number, QStringLiteral("the value of %1 holds a character that is not printable: %2")
                                       .arg(l.key, controlText(l.value[c])));
                if (!knownSection(upperSection))
                    break; // the section is reported once
                const QString home = sectionOf(upperKey);
                if (home.isEmpty())
                    warn(l.number, QStringLiteral("%1 is not a key the program reads: ignored").arg(l.key));
                else if (home != upperSection)
                    warn(l.number, QStringLiteral("%1 belongs in [%2], not in [%3]: ignored here")
                                       .arg(l.key, home == QLatin1String("SETTINGS") ? QStringLiteral("Settings")
                                                                                      : home,
                                            l.section));
                break;
            }
            }
        }
    }

    void readKey(const PolicyKey& key)
    {
        const auto found = m_reader.find(key.section, key.name);
        PolicyKeyReading r{key, found ? found->text : key.defaultValue, found ? found->line : 0, {}};
        const QString& v = r.value;
        const int line = r.line;
        const auto unknown = [&](const QString& why) { warn(line, key.name + u' ' + quoted(v) + u' ' + why); };
        if (key.name == policykeys::ServerUpload.name) {
            if (v.isEmpty() || v == QLatin1String("<ENTER PATH HERE>")) {
                r.effect = QStringLiteral("not configured");
                warn(line, QStringLiteral("SERVERUPLOAD names no upload folder: the program stops at start with "
                                          "PVLERR:01"));
            } else {
                const QString folder = WithTrailingSeparator(v);
                r.effect = QStringLiteral("upload folder ") + leftChars(folder, kUploadFolderMaxChars);
                if (folder.size() > kUploadFolderMaxChars)
                    warn(line, QStringLiteral("SERVERUPLOAD is longer than %1 characters with its separator: the "
                                              "program uses its first %1").arg(kUploadFolderMaxChars));
                if (QDir::isRelativePath(v))
                    unknown(QStringLiteral("is no absolute path: every job goes below whatever folder the program "
                                           "is started from"));
            }
        } else if (key.name == policykeys::MaxSize.name) {
            if (v == QLatin1String("-1")) {
                r.effect = QStringLiteral("no limit");
            } else {
                try {
                    const qint32 megabytes = toInteger(v);
                    if (megabytes >= 0) {
                        r.effect = QStringLiteral("at most %1 MB a job").arg(megabytes);
                    } else {
                        r.effect = QStringLiteral("every job refused as too large");
                        unknown(QStringLiteral("is below 0: every job is refused as too large (only -1, written "
                                               "so, means no limit)"));
                    }
                } catch (const ConversionError& e) {
                    unknown((isWrittenAsInteger(v) ? QStringLiteral("is beyond the whole numbers the size check reads "
                                                                    "(-2147483648 to 2147483647)")
                                                   : QStringLiteral("is not a whole number")) +
                            QStringLiteral(": Finish fails with \"%1\"").arg(e.message()));
                }
            }
        } else if (key.name == policykeys::Encrypted.name) {
            if (const auto s = OptionState::fromText(v))
                r.effect = QStringLiteral("encryption ") + stateEffect(*s);
            else {
                r.effect = QStringLiteral("each user's own setting stays");
                unknown(QStringLiteral("is none of %1: each user's own setting stays").arg(kFourStates));
            }
        } else if (key.name == policykeys::Sfx.name) {
            const OptionState s = OptionState::fromExactText(v);
            r.effect = QStringLiteral("self-extracting ") + stateEffect(s);
            if (OptionState::fromText(v) && s.text() != v)
                unknown(QStringLiteral("counts only in capitals: read as off, the user may change it"));
            else if (!OptionState::fromText(v))
                unknown(QStringLiteral("is none of %1: read as off, the user may change it").arg(kFourStates));
        } else if (key.name == policykeys::DefaultExpire.name) {
            if (IsExpiryText(v))
                r.effect = QStringLiteral("%1 hours").arg(v);
            else
                unknown(QStringLiteral("is not a number of hours of 1 to %1 digits: Finish refuses a job until "
                                       "the user corrects it").arg(kExpiryMaxDigits));
        } else if (key.name == policykeys::SkipWelcome.name) {
            r.effect = v == kEnabled ? QStringLiteral("starts on the selection page")
                                     : QStringLiteral("starts on the welcome page");
            onOff(v, line, key);
        } else if (key.name == policykeys::OutlookAdr.name) {
            r.effect = v == kEnabled ? QStringLiteral("the address book is offered")
                                     : QStringLiteral("no address book");
            onOff(v, line, key);
        } else if (key.name == policykeys::DefaultLanguage.name) {
            QStringList names;
            for (const LanguageRecord& language : AllLanguages())
                names << language.key;
            if (!names.contains(v))
                unknown(QStringLiteral("is not written as one of %1: the window may speak English")
                            .arg(names.join(QStringLiteral(", "))));
        } else if (key.name == policykeys::ColorScheme.name) {
            const int scheme = v.isEmpty() ? 0 : ProfileReader::profileInteger(v) & 0xFF;
            r.effect = scheme == 1 ? QStringLiteral("White") : QStringLiteral("Default (R111)");
            if (!v.isEmpty() && !isWholeProfileInteger(v))
                unknown(QStringLiteral("is not a whole number: read as %1").arg(scheme));
            else if (scheme > 1)
                unknown(QStringLiteral("is no scheme (0 or 1): shown as Default (R111)"));
        }
        m_result.keys.append(r);
    }

    void onOff(const QString& v, int line, const PolicyKey& key)
    {
        if (v != kEnabled && v != kDisabled)
            warn(line, key.name + u' ' + quoted(v) + QStringLiteral(" is neither ENABLED nor DISABLED as written: "
                                                                    "read as DISABLED"));
    }

    ProfileReader m_reader;
    PolicyCheck m_result;
};

} // namespace

PolicyCheck CheckPolicy(const QByteArray& content)
{
    return Checker(content).run(content);
}
