#include "i18n/SentJobsTexts.h"

#include "i18n/LanguageTexts.h"

namespace {

SentJobsTexts english()
{
    SentJobsTexts t;
    t.title = QStringLiteral("Sent jobs");
    t.time = QStringLiteral("Time");
    t.recipients = QStringLiteral("Recipients");
    t.subject = QStringLiteral("Subject");
    t.size = QStringLiteral("Size");
    t.state = QStringLiteral("State");
    t.beingWritten = QStringLiteral("being written");
    t.waiting = QStringLiteral("waiting for the server");
    t.beingTaken = QStringLiteral("being taken");
    t.taken = QStringLiteral("taken");
    t.failed = QStringLiteral("failed");
    t.leftLocked = QStringLiteral("left locked");
    t.cannotTell = QStringLiteral("cannot tell");
    t.takenAt = QStringLiteral("taken %1");
    t.lookedAt = QStringLiteral("Upload folder looked at %1");
    t.close = QStringLiteral("Close");
    t.detailsTitle = QStringLiteral("Sent job");
    t.job = QStringLiteral("Job:");
    t.uploadFolder = QStringLiteral("Upload folder:");
    t.started = QStringLiteral("Started:");
    t.ended = QStringLiteral("Ended:");
    t.stateLabel = QStringLiteral("State:");
    t.takenLabel = QStringLiteral("Taken:");
    t.recipientsLabel = QStringLiteral("Recipients:");
    t.subjectLabel = QStringLiteral("Subject:");
    t.expires = QStringLiteral("Expires after:");
    t.hours = QStringLiteral("hours");
    t.encrypted = QStringLiteral("Encrypted:");
    t.selfExtracting = QStringLiteral("Self-extracting:");
    t.files = QStringLiteral("Files:");
    t.folders = QStringLiteral("Folders:");
    t.sizeLabel = QStringLiteral("Size:");
    t.why = QStringLiteral("Why:");
    t.message = QStringLiteral("Message:");
    t.log = QStringLiteral("Log:");
    t.yes = QStringLiteral("yes");
    t.no = QStringLiteral("no");
    t.notification = QStringLiteral("Taken by the server: %1 to %2");
    t.more = QStringLiteral(" (+%1)");
    t.notRecorded = QStringLiteral("Warning: this job could not be recorded among the sent jobs (%1).");
    t.notRead = QStringLiteral("Warning: the record of sent jobs could not be read or updated (%1).");
    t.setAside = QStringLiteral("Warning: the record of sent jobs was damaged; it was set aside as %1 and a new one "
                                "was started.");
    return t;
}

SentJobsTexts dutch()
{
    SentJobsTexts t;
    t.title = QStringLiteral("Verzonden opdrachten");
    t.time = QStringLiteral("Tijd");
    t.recipients = QStringLiteral("Ontvangers");
    t.subject = QStringLiteral("Onderwerp");
    t.size = QStringLiteral("Grootte");
    t.state = QStringLiteral("Status");
    t.beingWritten = QStringLiteral("wordt geschreven");
    t.waiting = QStringLiteral("wacht op de server");
    t.beingTaken = QStringLiteral("wordt opgehaald");
    t.taken = QStringLiteral("opgehaald");
    t.failed = QStringLiteral("mislukt");
    t.leftLocked = QStringLiteral("blijft vergrendeld");
    t.cannotTell = QStringLiteral("niet te bepalen");
    t.takenAt = QStringLiteral("opgehaald %1");
    t.lookedAt = QStringLiteral("Uploadmap bekeken om %1");
    t.close = QStringLiteral("Sluiten");
    t.detailsTitle = QStringLiteral("Verzonden opdracht");
    t.job = QStringLiteral("Opdracht:");
    t.uploadFolder = QStringLiteral("Uploadmap:");
    t.started = QStringLiteral("Begonnen:");
    t.ended = QStringLiteral("Ge\u00EBindigd:");
    t.stateLabel = QStringLiteral("Status:");
    t.takenLabel = QStringLiteral("Opgehaald:");
    t.recipientsLabel = QStringLiteral("Ontvangers:");
    t.subjectLabel = QStringLiteral("Onderwerp:");
    t.expires = QStringLiteral("Verloopt na:");
    t.hours = QStringLiteral("uur");
    t.encrypted = QStringLiteral("Versleuteld:");
    t.selfExtracting = QStringLiteral("Zelfuitpakkend:");
    t.files = QStringLiteral("Bestanden:");
    t.folders = QStringLiteral("Mappen:");
    t.sizeLabel = QStringLiteral("Grootte:");
    t.why = QStringLiteral("Reden:");
    t.message = QStringLiteral("Bericht:");
    t.log = QStringLiteral("Logboek:");
    t.yes = QStringLiteral("ja");
    t.no = QStringLiteral("nee");
    t.notification = QStringLiteral("Opgehaald door de server: %1 aan %2");
    t.more = QStringLiteral(" (+%1)");
    t.notRecorded = QStringLiteral("Waarschuwing: deze opdracht kon niet bij de verzonden opdrachten worden "
                                   "vastgelegd (%1).");
    t.notRead = QStringLiteral("Waarschuwing: het overzicht van verzonden opdrachten kon niet worden gelezen of "
                               "bijgewerkt (%1).");
    t.setAside = QStringLiteral("Waarschuwing: het overzicht van verzonden opdrachten was beschadigd; het is "
                                "opzijgezet als %1 en er is een nieuw begonnen.");
    return t;
}

SentJobsTexts german()
{
    SentJobsTexts t;
    t.title = QStringLiteral("Gesendete Auftr\u00E4ge");
    t.time = QStringLiteral("Zeit");
    t.recipients = QStringLiteral("Empf\u00E4nger");
    t.subject = QStringLiteral("Betreff");
    t.size = QStringLiteral("Gr\u00F6\u00DFe");
    t.state = QStringLiteral("Zustand");
    t.beingWritten = QStringLiteral("wird geschrieben");
    t.waiting = QStringLiteral("wartet auf den Server");
    t.beingTaken = QStringLiteral("wird abgeholt");
    t.taken = QStringLiteral("abgeholt");
    t.failed = QStringLiteral("fehlgeschlagen");
    t.leftLocked = QStringLiteral("bleibt gesperrt");
    t.cannotTell = QStringLiteral("nicht feststellbar");
    t.takenAt = QStringLiteral("abgeholt %1");
    t.lookedAt = QStringLiteral("Upload-Ordner angesehen um %1");
    t.close = QStringLiteral("Schlie\u00DFen");
    t.detailsTitle = QStringLiteral("Gesendeter Auftrag");
    t.job = QStringLiteral("Auftrag:");
    t.uploadFolder = QStringLiteral("Upload-Ordner:");
    t.started = QStringLiteral("Begonnen:");
    t.ended = QStringLiteral("Beendet:");
    t.stateLabel = QStringLiteral("Zustand:");
    t.takenLabel = QStringLiteral("Abgeholt:");
    t.recipientsLabel = QStringLiteral("Empf\u00E4nger:");
    t.subjectLabel = QStringLiteral("Betreff:");
    t.expires = QStringLiteral("L\u00E4uft ab nach:");
    t.hours = QStringLiteral("Stunden");
    t.encrypted = QStringLiteral("Verschl\u00FCsselt:");
    t.selfExtracting = QStringLiteral("Selbstentpackend:");
    t.files = QStringLiteral("Dateien:");
    t.folders = QStringLiteral("Ordner:");
    t.sizeLabel = QStringLiteral("Gr\u00F6\u00DFe:");
    t.why = QStringLiteral("Grund:");
    t.message = QStringLiteral("Nachricht:");
    t.log = QStringLiteral("Protokoll:");
    t.yes = QStringLiteral("ja");
    t.no = QStringLiteral("nein");
    t.notification = QStringLiteral("Vom Server abgeholt: %1 an %2");
    t.more = QStringLiteral(" (+%1)");
    t.notRecorded = QStringLiteral("Warnung: Dieser Auftrag konnte nicht bei den gesendeten Auftr\u00E4gen vermerkt "
                                   "werden (%1).");
    t.notRead = QStringLiteral("Warnung: Die Liste der gesendeten Auftr\u00E4ge konnte nicht gelesen oder "
                               "aktualisiert werden (%1).");
    t.setAside = QStringLiteral("Warnung: Die Liste der gesendeten Auftr\u00E4ge war besch\u00E4digt; sie wurde als "
                                "%1 beiseitegelegt und eine neue begonnen.");
    return t;
}

SentJobsTexts french()
{
    SentJobsTexts t;
    t.title = QStringLiteral("Envois effectu\u00E9s");
    t.time = QStringLiteral("Heure");
    t.recipients = QStringLiteral("Destinataires");
    t.subject = QStringLiteral("Objet");
    t.size = QStringLiteral("Taille");
    t.state = QStringLiteral("\u00C9tat");
    t.beingWritten = QStringLiteral("en cours d'\u00E9criture");
    t.waiting = QStringLiteral("en attente du serveur");
    t.beingTaken = QStringLiteral("en cours de prise en charge");
    t.taken = QStringLiteral("pris en charge");
    t.failed = QStringLiteral("\u00E9chou\u00E9");
    t.leftLocked = QStringLiteral("rest\u00E9 verrouill\u00E9");
    t.cannotTell = QStringLiteral("impossible \u00E0 dire");
    t.takenAt = QStringLiteral("pris en charge %1");
    t.lookedAt = QStringLiteral("Dossier de d\u00E9p\u00F4t consult\u00E9 \u00E0 %1");
    t.close = QStringLiteral("Fermer");
    t.detailsTitle = QStringLiteral("Envoi");
    t.job = QStringLiteral("Envoi:");
    t.uploadFolder = QStringLiteral("Dossier de d\u00E9p\u00F4t:");
    t.started = QStringLiteral("Commenc\u00E9:");
    t.ended = QStringLiteral("Termin\u00E9:");
    t.stateLabel = QStringLiteral("\u00C9tat:");
    t.takenLabel = QStringLiteral("Pris en charge:");
    t.recipientsLabel = QStringLiteral("Destinataires:");
    t.subjectLabel = QStringLiteral("Objet:");
    t.expires = QStringLiteral("Expire apr\u00E8s:");
    t.hours = QStringLiteral("heures");
    t.encrypted = QStringLiteral("Chiffr\u00E9:");
    t.selfExtracting = QStringLiteral("Auto-extractible:");
    t.files = QStringLiteral("Fichiers:");
    t.folders = QStringLiteral("Dossiers:");
    t.sizeLabel = QStringLiteral("Taille:");
    t.why = QStringLiteral("Raison:");
    t.message = QStringLiteral("Message:");
    t.log = QStringLiteral("Journal:");
    t.yes = QStringLiteral("oui");
    t.no = QStringLiteral("non");
    t.notification = QStringLiteral("Pris en charge par le serveur: %1 pour %2");
    t.more = QStringLiteral(" (+%1)");
    t.notRecorded = QStringLiteral("Avertissement: cet envoi n'a pas pu \u00EAtre inscrit parmi les envois "
                                   "effectu\u00E9s (%1).");
    t.notRead = QStringLiteral("Avertissement: la liste des envois effectu\u00E9s n'a pas pu \u00EAtre lue ou mise "
                               "\u00E0 jour (%1).");
    t.setAside = QStringLiteral("Avertissement: la liste des envois effectu\u00E9s \u00E9tait endommag\u00E9e; elle a "
                                "\u00E9t\u00E9 mise de c\u00F4t\u00E9 sous le nom %1 et une nouvelle a \u00E9t\u00E9 "
                                "commenc\u00E9e.");
    return t;
}

SentJobsTexts swedish()
{
    SentJobsTexts t;
    t.title = QStringLiteral("Skickade jobb");
    t.time = QStringLiteral("Tid");
    t.recipients = QStringLiteral("Mottagare");
    t.subject = QStringLiteral("\u00C4mne");
    t.size = QStringLiteral("Storlek");
    t.state = QStringLiteral("Status");
    t.beingWritten = QStringLiteral("skrivs");
    t.waiting = QStringLiteral("v\u00E4ntar p\u00E5 servern");
    t.beingTaken = QStringLiteral("h\u00E4mtas");
    t.taken = QStringLiteral("h\u00E4mtat");
    t.failed = QStringLiteral("misslyckades");
    t.leftLocked = QStringLiteral("f\u00F6rblev l\u00E5st");
    t.cannotTell = QStringLiteral("kan inte avg\u00F6ras");
    t.takenAt = QStringLiteral("h\u00E4mtat %1");
    t.lookedAt = QStringLiteral("Uppladdningsmappen s\u00E5gs %1");
    t.close = QStringLiteral("St\u00E4ng");
    t.detailsTitle = QStringLiteral("Skickat jobb");
    t.job = QStringLiteral("Jobb:");
    t.uploadFolder = QStringLiteral("Uppladdningsmapp:");
    t.started = QStringLiteral("B\u00F6rjade:");
    t.ended = QStringLiteral("Slutade:");
    t.stateLabel = QStringLiteral("Status:");
    t.takenLabel = QStringLiteral("H\u00E4mtat:");
    t.recipientsLabel = QStringLiteral("Mottagare:");
    t.subjectLabel = QStringLiteral("\u00C4mne:");
    t.expires = QStringLiteral("Upph\u00F6r efter:");
    t.hours = QStringLiteral("timmar");
    t.encrypted = QStringLiteral("Krypterat:");
    t.selfExtracting = QStringLiteral("Sj\u00E4lvuppackande:");
    t.files = QStringLiteral("Filer:");
    t.folders = QStringLiteral("Mappar:");
    t.sizeLabel = QStringLiteral("Storlek:");
    t.why = QStringLiteral("Orsak:");
    t.message = QStringLiteral("Meddelande:");
    t.log = QStringLiteral("Logg:");
    t.yes = QStringLiteral("ja");
    t.no = QStringLiteral("nej");
    t.notification = QStringLiteral("H\u00E4mtat av servern: %1 till %2");
    t.more = QStringLiteral(" (+%1)");
    t.notRecorded = QStringLiteral("Varning: jobbet kunde inte registreras bland de skickade jobben (%1).");
    t.notRead = QStringLiteral("Varning: listan \u00F6ver skickade jobb kunde inte l\u00E4sas eller uppdateras "
                               "(%1).");
    t.setAside = QStringLiteral("Varning: listan \u00F6ver skickade jobb var skadad; den lades undan som %1 och en "
                                "ny p\u00E5b\u00F6rjades.");
    return t;
}

} // namespace

SentJobsTexts SentJobsTextsFor(const QString& languageName)
{
    if (languageName == kDutch)
        return dutch();
    if (languageName == kGerman)
        return german();
    if (languageName == kFrench)
        return french();
    if (languageName == kSwedish)
        return swedish();
    return english();
}
