#include "i18n/Languages.h"

using namespace languagetables;

namespace {

// In the Settings list's order: each language under its own name, alphabetically.
// Set before any code runs (constinit), so it may be read during start-up.
constinit const std::array<LanguageRecord, kLanguageCount> kLanguages = {{
    {
        .key = kGerman,
        .listName = u"Deutsch",
        .locale = {QLocale::German, QLocale::Germany},
        .slots = kSlots[German],
        .welcome = kWelcome[German],
        .copyWindow = {u"Kopiere: %1", u"Dateien: %1 von %2", u"%1 von %2", u"Das Kopieren wurde abgebrochen.",
                       u"Der Upload-Ordner antwortet seit %1 s nicht. Das Kopieren geht weiter, sobald er "
                       u"antwortet; Abbrechen wirkt dann.",
                       u"%1 Dateien/s, %2/s", u"Verbleibende Zeit: %1"},
        .leftOut = {u"  Nicht verfolgte Verkn\u00fcpfungen und Systemordner: ",
                    u"  Ausgelassene Sonderdateien (Pipes, Ger\u00e4te, Sockets): "},
        .paths = {u"Ordner nicht gefunden", u"Der Ordner \"%1\" existiert nicht.", u"Nicht hinzugef\u00fcgt",
                  u"Diese Dateien oder Ordner existieren nicht und wurden nicht hinzugef\u00fcgt:", u"und %1 weitere",
                  u"Parvela Client", u"Parvela Client ist bereits ge\u00f6ffnet, aber sein Fenster antwortet nicht.",
                  u"Diese Namen lassen sich nicht eindeutig lesen und wurden nicht hinzugef\u00fcgt:"},
        .sentJobs = kSentJobs[German],
        .contactSearch = u"Kontakte suchen",
        .controls = kControls[German],
    },
    {
        .key = kEnglish,
        .listName = u"English",
        .locale = {QLocale::English, QLocale::UnitedStates},
        .slots = kSlots[English],
        .welcome = kWelcome[English],
        .copyWindow = {u"Copying: %1", u"Files: %1 of %2", u"%1 of %2", u"The copy was cancelled.",
                       u"The upload folder has not answered for %1 s. The copy goes on when it answers; Cancel "
                       u"takes effect then.",
                       u"%1 files/s, %2/s", u"Time left: %1"},
        .leftOut = {u"  Links and system folders not followed: ",
                    u"  Special files left out (pipes, devices, sockets): "},
        .paths = {u"Folder not found", u"The folder \"%1\" does not exist.", u"Not added",
                  u"These files or folders do not exist and were not added:", u"and %1 more", u"Parvela Client",
                  u"Parvela Client is already open, but its window does not answer.",
                  u"These names cannot be read unambiguously and were not added:"},
        .sentJobs = kSentJobs[English],
        .contactSearch = u"Search contacts",
        .controls = kControls[English],
    },
    {
        .key = kFrench,
        .listName = u"Fran\u00E7ais",
        .locale = {QLocale::French, QLocale::France},
        .slots = kSlots[French],
        .welcome = kWelcome[French],
        .copyWindow = {u"Copie de: %1", u"Fichiers: %1 sur %2", u"%1 sur %2", u"La copie a \u00E9t\u00E9 annul\u00E9e.",
                       u"Le dossier de d\u00E9p\u00F4t ne r\u00E9pond plus depuis %1 s. La copie reprend "
                       u"d\u00E8s qu'il r\u00E9pond ; Annuler prend effet \u00E0 ce moment.",
                       u"%1 fichiers/s, %2/s", u"Temps restant : %1"},
        .leftOut = {u"  Liens et dossiers syst\u00e8me non suivis : ",
                    u"  Fichiers sp\u00e9ciaux ignor\u00e9s (tubes, p\u00e9riph\u00e9riques, sockets) : "},
        .paths = {u"Dossier introuvable", u"Le dossier \"%1\" n'existe pas.", u"Non ajout\u00e9s",
                  u"Ces fichiers ou dossiers n'existent pas et n'ont pas \u00e9t\u00e9 ajout\u00e9s :", u"et %1 autres",
                  u"Parvela Client", u"Parvela Client est d\u00e9j\u00e0 ouvert, mais sa fen\u00eatre ne r\u00e9pond pas.",
                  u"Ces noms ne peuvent pas \u00eatre lus sans ambigu\u00eft\u00e9 et n'ont pas \u00e9t\u00e9 ajout\u00e9s :"},
        .sentJobs = kSentJobs[French],
        .contactSearch = u"Rechercher des contacts",
        .controls = kControls[French],
    },
    {
        .key = kDutch,
        .listName = u"Nederlands",
        .locale = {QLocale::Dutch, QLocale::Netherlands},
        .slots = kSlots[Dutch],
        .welcome = kWelcome[Dutch],
        .copyWindow = {u"Kopi\u00EBren: %1", u"Bestanden: %1 van %2", u"%1 van %2",
                       u"Het kopi\u00EBren is geannuleerd.",
                       u"De uploadmap heeft %1 s niet geantwoord. Het kopi\u00EBren gaat verder zodra zij "
                       u"antwoordt; Annuleren werkt dan.",
                       u"%1 bestanden/s, %2/s", u"Resterende tijd: %1"},
        .leftOut = {u"  Koppelingen en systeemmappen niet gevolgd: ",
                    u"  Speciale bestanden overgeslagen (pipes, apparaten, sockets): "},
        .paths = {u"Map niet gevonden", u"De map \"%1\" bestaat niet.", u"Niet toegevoegd",
                  u"Deze bestanden of mappen bestaan niet en zijn niet toegevoegd:", u"en nog %1",
                  u"Parvela Client", u"Parvela Client is al geopend, maar het venster reageert niet.",
                  u"Deze namen zijn niet eenduidig te lezen en zijn niet toegevoegd:"},
        .sentJobs = kSentJobs[Dutch],
        .contactSearch = u"Contacten zoeken",
        .controls = kControls[Dutch],
    },
    {
        .key = kSwedish,
        .listName = u"Svenska",
        .locale = {QLocale::Swedish, QLocale::Sweden},
        .slots = kSlots[Swedish],
        .welcome = kWelcome[Swedish],
        .copyWindow = {u"Kopierar: %1", u"Filer: %1 av %2", u"%1 av %2", u"Kopieringen avbr\u00F6ts.",
                       u"Uppladdningsmappen har inte svarat p\u00E5 %1 s. Kopieringen forts\u00E4tter n\u00E4r "
                       u"den svarar; Avbryt verkar d\u00E5.",
                       u"%1 filer/s, %2/s", u"\u00C5terst\u00E5ende tid: %1"},
        .leftOut = {u"  L\u00e4nkar och systemmappar som inte f\u00f6ljdes: ",
                    u"  Specialfiler som utel\u00e4mnades (r\u00f6r, enheter, socketar): "},
        .paths = {u"Mappen hittades inte", u"Mappen \"%1\" finns inte.", u"Inte tillagda",
                  u"Dessa filer eller mappar finns inte och lades inte till:", u"och %1 till", u"Parvela Client",
                  u"Parvela Client \u00e4r redan \u00f6ppet, men dess f\u00f6nster svarar inte.",
                  u"Dessa namn kan inte l\u00e4sas entydigt och lades inte till:"},
        .sentJobs = kSentJobs[Swedish],
        .contactSearch = u"S\u00f6k kontakter",
        .controls = kControls[Swedish],
    },
}};

const LanguageRecord* find(const QString& languageName)
{
    for (const LanguageRecord& language : kLanguages)
        if (language.key == languageName)
            return &language;
    return nullptr;
}

} // namespace

std::span<const LanguageRecord> AllLanguages() { return kLanguages; }

const LanguageRecord& LanguageFor(const QString& languageName)
{
    static const LanguageRecord& english = *find(kEnglish);
    const LanguageRecord* language = find(languageName);
    return language ? *language : english;
}
