#include "i18n/PathTexts.h"

#include "i18n/LanguageTexts.h"

namespace {
struct Texts {
    const char16_t* folderCaption;
    const char16_t* folder;       // %1: the folder
    const char16_t* pathsCaption;
    const char16_t* paths;        // followed by the names, one to a line
    const char16_t* more;         // %1: how many more
    const char16_t* noAnswerCaption;
    const char16_t* noAnswer;
};

const Texts& textsFor(const QString& languageName)
{
    static const Texts english{
        u"Folder not found", u"The folder \"%1\" does not exist.", u"Not added",
        u"These files or folders do not exist and were not added:", u"and %1 more",
        u"Parvela Client", u"Parvela Client is already open, but its window does not answer."};
    static const Texts dutch{
        u"Map niet gevonden", u"De map \"%1\" bestaat niet.", u"Niet toegevoegd",
        u"Deze bestanden of mappen bestaan niet en zijn niet toegevoegd:", u"en nog %1",
        u"Parvela Client", u"Parvela Client is al geopend, maar het venster reageert niet."};
    static const Texts german{
        u"Ordner nicht gefunden", u"Der Ordner \"%1\" existiert nicht.", u"Nicht hinzugef\u00fcgt",
        u"Diese Dateien oder Ordner existieren nicht und wurden nicht hinzugef\u00fcgt:", u"und %1 weitere",
        u"Parvela Client", u"Parvela Client ist bereits ge\u00f6ffnet, aber sein Fenster antwortet nicht."};
    static const Texts french{
        u"Dossier introuvable", u"Le dossier \"%1\" n'existe pas.", u"Non ajout\u00e9s",
        u"Ces fichiers ou dossiers n'existent pas et n'ont pas \u00e9t\u00e9 ajout\u00e9s :", u"et %1 autres",
        u"Parvela Client", u"Parvela Client est d\u00e9j\u00e0 ouvert, mais sa fen\u00eatre ne r\u00e9pond pas."};
    static const Texts swedish{
        u"Mappen hittades inte", u"Mappen \"%1\" finns inte.", u"Inte tillagda",
        u"Dessa filer eller mappar finns inte och lades inte till:", u"och %1 till",
        u"Parvela Client", u"Parvela Client \u00e4r redan \u00f6ppet, men dess f\u00f6nster svarar inte."};
    if (languageName == kDutch)
        return dutch;
    if (languageName == kGerman)
        return german;
    if (languageName == kFrench)
        return french;
    if (languageName == kSwedish)
        return swedish;
    return english;
}

QString text(const char16_t* t) { return QString::fromUtf16(t); }
} // namespace

PathMessage MissingFolderMessage(const QString& languageName, const QString& folder)
{
    const Texts& t = textsFor(languageName);
    return {text(t.folderCaption), text(t.folder).arg(folder)};
}

PathMessage MissingPathsMessage(const QString& languageName, const QStringList& paths)
{
    const Texts& t = textsFor(languageName);
    QStringList lines{text(t.paths)};
    lines += paths.mid(0, kMaxNamed);
    if (paths.size() > kMaxNamed)
        lines.append(text(t.more).arg(paths.size() - kMaxNamed));
    return {text(t.pathsCaption), lines.join(u'\n')};
}

PathMessage NoAnswerMessage(const QString& languageName)
{
    const Texts& t = textsFor(languageName);
    return {text(t.noAnswerCaption), text(t.noAnswer)};
}
