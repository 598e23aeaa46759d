#include "i18n/LeftOutTexts.h"

#include "i18n/LanguageTexts.h"

QString LeftOutLabel(const QString& languageName, LeftOutLine line)
{
    struct Labels {
        const QString& language;
        const char16_t* notFollowed;
        const char16_t* specialFiles;
    };
    static const Labels labels[] = {
        {kDutch, u"  Koppelingen en systeemmappen niet gevolgd: ",
         u"  Speciale bestanden overgeslagen (pipes, apparaten, sockets): "},
        {kGerman, u"  Nicht verfolgte Verkn\u00fcpfungen und Systemordner: ",
         u"  Ausgelassene Sonderdateien (Pipes, Ger\u00e4te, Sockets): "},
        {kFrench, u"  Liens et dossiers syst\u00e8me non suivis : ",
         u"  Fichiers sp\u00e9ciaux ignor\u00e9s (tubes, p\u00e9riph\u00e9riques, sockets) : "},
        {kSwedish, u"  L\u00e4nkar och systemmappar som inte f\u00f6ljdes: ",
         u"  Specialfiler som utel\u00e4mnades (r\u00f6r, enheter, socketar): "},
    };
    for (const Labels& l : labels)
        if (languageName == l.language)
            return QString::fromUtf16(line == LeftOutLine::NotFollowed ? l.notFollowed : l.specialFiles);
    return line == LeftOutLine::NotFollowed ? QStringLiteral("  Links and system folders not followed: ")
                                            : QStringLiteral("  Special files left out (pipes, devices, sockets): ");
}
