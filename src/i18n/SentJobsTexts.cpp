#include "i18n/SentJobsTexts.h"

#include "i18n/Languages.h"

namespace languagetables {

// In the order of the tables' languages: English, Dutch, German, French, Swedish.
const std::array<SentJobsTable, kLanguageCount> kSentJobs = {{
    // English
    {
        .title = u"Sent jobs",
        .time = u"Time",
        .recipients = u"Recipients",
        .subject = u"Subject",
        .size = u"Size",
        .state = u"State",
        .beingWritten = u"being written",
        .waiting = u"waiting for the server",
        .beingTaken = u"being taken",
        .taken = u"taken",
        .failed = u"failed",
        .leftLocked = u"left locked",
        .cannotTell = u"cannot tell",
        .takenAt = u"taken %1",
        .lookedAt = u"Upload folder looked at %1",
        .close = u"Close",
        .filter = u"Filter: recipient, subject or job name",
        .copyName = u"Copy job name",
        .showDetails = u"Show details",
        .detailsTitle = u"Sent job",
        .job = u"Job:",
        .uploadFolder = u"Upload folder:",
        .started = u"Started:",
        .ended = u"Ended:",
        .stateLabel = u"State:",
        .takenLabel = u"Taken:",
        .recipientsLabel = u"Recipients:",
        .subjectLabel = u"Subject:",
        .expires = u"Expires after:",
        .hours = u"hours",
        .encrypted = u"Encrypted:",
        .selfExtracting = u"Self-extracting:",
        .files = u"Files copied:",
        .folders = u"Folders copied:",
        .sizeLabel = u"Size:",
        .why = u"Why:",
        .message = u"Message:",
        .log = u"Log:",
        .yes = u"yes",
        .no = u"no",
        .notification = u"Taken by the server: %1 to %2",
        .more = u" (+%1)",
        .notRecorded = u"Warning: this job could not be recorded among the sent jobs (%1).",
        .notRead = u"Warning: the record of sent jobs could not be read or updated (%1).",
        .setAside = u"Warning: the record of sent jobs was damaged; it was set aside as %1 and a new one was started.",
    },
    // Dutch
    {
        .title = u"Verzonden opdrachten",
        .time = u"Tijd",
        .recipients = u"Ontvangers",
        .subject = u"Onderwerp",
        .size = u"Grootte",
        .state = u"Status",
        .beingWritten = u"wordt geschreven",
        .waiting = u"wacht op de server",
        .beingTaken = u"wordt opgehaald",
        .taken = u"opgehaald",
        .failed = u"mislukt",
        .leftLocked = u"blijft vergrendeld",
        .cannotTell = u"niet te bepalen",
        .takenAt = u"opgehaald %1",
        .lookedAt = u"Uploadmap bekeken om %1",
        .close = u"Sluiten",
        .filter = u"Filter: ontvanger, onderwerp of naam van de opdracht",
        .copyName = u"Naam van de opdracht kopi\u00EBren",
        .showDetails = u"Details tonen",
        .detailsTitle = u"Verzonden opdracht",
        .job = u"Opdracht:",
        .uploadFolder = u"Uploadmap:",
        .started = u"Begonnen:",
        .ended = u"Ge\u00EBindigd:",
        .stateLabel = u"Status:",
        .takenLabel = u"Opgehaald:",
        .recipientsLabel = u"Ontvangers:",
        .subjectLabel = u"Onderwerp:",
        .expires = u"Verloopt na:",
        .hours = u"uur",
        .encrypted = u"Versleuteld:",
        .selfExtracting = u"Zelfuitpakkend:",
        .files = u"Gekopieerde bestanden:",
        .folders = u"Gekopieerde mappen:",
        .sizeLabel = u"Grootte:",
        .why = u"Reden:",
        .message = u"Bericht:",
        .log = u"Logboek:",
        .yes = u"ja",
        .no = u"nee",
        .notification = u"Opgehaald door de server: %1 aan %2",
        .more = u" (+%1)",
        .notRecorded = u"Waarschuwing: deze opdracht kon niet bij de verzonden opdrachten worden vastgelegd (%1).",
        .notRead = u"Waarschuwing: het overzicht van verzonden opdrachten kon niet worden gelezen of bijgewerkt (%1).",
        .setAside = u"Waarschuwing: het overzicht van verzonden opdrachten was beschadigd; het is opzijgezet als %1 en "
              u"er is een nieuw begonnen.",
    },
    // German
    {
        .title = u"Gesendete Auftr\u00E4ge",
        .time = u"Zeit",
        .recipients = u"Empf\u00E4nger",
        .subject = u"Betreff",
        .size = u"Gr\u00F6\u00DFe",
        .state = u"Zustand",
        .beingWritten = u"wird geschrieben",
        .waiting = u"wartet auf den Server",
        .beingTaken = u"wird abgeholt",
        .taken = u"abgeholt",
        .failed = u"fehlgeschlagen",
        .leftLocked = u"bleibt gesperrt",
        .cannotTell = u"nicht feststellbar",
        .takenAt = u"abgeholt %1",
        .lookedAt = u"Upload-Ordner angesehen um %1",
        .close = u"Schlie\u00DFen",
        .filter = u"Filter: Empf\u00E4nger, Betreff oder Auftragsname",
        .copyName = u"Auftragsnamen kopieren",
        .showDetails = u"Details anzeigen",
        .detailsTitle = u"Gesendeter Auftrag",
        .job = u"Auftrag:",
        .uploadFolder = u"Upload-Ordner:",
        .started = u"Begonnen:",
        .ended = u"Beendet:",
        .stateLabel = u"Zustand:",
        .takenLabel = u"Abgeholt:",
        .recipientsLabel = u"Empf\u00E4nger:",
        .subjectLabel = u"Betreff:",
        .expires = u"L\u00E4uft ab nach:",
        .hours = u"Stunden",
        .encrypted = u"Verschl\u00FCsselt:",
        .selfExtracting = u"Selbstentpackend:",
        .files = u"Kopierte Dateien:",
        .folders = u"Kopierte Ordner:",
        .sizeLabel = u"Gr\u00F6\u00DFe:",
        .why = u"Grund:",
        .message = u"Nachricht:",
        .log = u"Protokoll:",
        .yes = u"ja",
        .no = u"nein",
        .notification = u"Vom Server abgeholt: %1 an %2",
        .more = u" (+%1)",
        .notRecorded = u"Warnung: Dieser Auftrag konnte nicht bei den gesendeten Auftr\u00E4gen vermerkt werden (%1).",
        .notRead = u"Warnung: Die Liste der gesendeten Auftr\u00E4ge konnte nicht gelesen oder aktualisiert werden "
              u"(%1).",
        .setAside = u"Warnung: Die Liste der gesendeten Auftr\u00E4ge war besch\u00E4digt; sie wurde als %1 "
              u"beiseitegelegt und eine neue begonnen.",
    },
    // French
    {
        .title = u"Envois effectu\u00E9s",
        .time = u"Heure",
        .recipients = u"Destinataires",
        .subject = u"Objet",
        .size = u"Taille",
        .state = u"\u00C9tat",
        .beingWritten = u"en cours d'\u00E9criture",
        .waiting = u"en attente du serveur",
        .beingTaken = u"en cours de prise en charge",
        .taken = u"pris en charge",
        .failed = u"\u00E9chou\u00E9",
        .leftLocked = u"rest\u00E9 verrouill\u00E9",
        .cannotTell = u"impossible \u00E0 dire",
        .takenAt = u"pris en charge %1",
        .lookedAt = u"Dossier de d\u00E9p\u00F4t consult\u00E9 \u00E0 %1",
        .close = u"Fermer",
        .filter = u"Filtre: destinataire, objet ou nom de l'envoi",
        .copyName = u"Copier le nom de l'envoi",
        .showDetails = u"Afficher les d\u00E9tails",
        .detailsTitle = u"Envoi",
        .job = u"Envoi:",
        .uploadFolder = u"Dossier de d\u00E9p\u00F4t:",
        .started = u"Commenc\u00E9:",
        .ended = u"Termin\u00E9:",
        .stateLabel = u"\u00C9tat:",
        .takenLabel = u"Pris en charge:",
        .recipientsLabel = u"Destinataires:",
        .subjectLabel = u"Objet:",
        .expires = u"Expire apr\u00E8s:",
        .hours = u"heures",
        .encrypted = u"Chiffr\u00E9:",
        .selfExtracting = u"Auto-extractible:",
        .files = u"Fichiers copi\u00E9s:",
        .folders = u"Dossiers copi\u00E9s:",
        .sizeLabel = u"Taille:",
        .why = u"Raison:",
        .message = u"Message:",
        .log = u"Journal:",
        .yes = u"oui",
        .no = u"non",
        .notification = u"Pris en charge par le serveur: %1 pour %2",
        .more = u" (+%1)",
        .notRecorded = u"Avertissement: cet envoi n'a pas pu \u00EAtre inscrit parmi les envois effectu\u00E9s (%1).",
        .notRead = u"Avertissement: la liste des envois effectu\u00E9s n'a pas pu \u00EAtre lue ou mise \u00E0 jour "
              u"(%1).",
        .setAside = u"Avertissement: la liste des envois effectu\u00E9s \u00E9tait endommag\u00E9e; elle a "
              u"\u00E9t\u00E9 mise de c\u00F4t\u00E9 sous le nom %1 et une nouvelle a \u00E9t\u00E9 commenc\u00E9e.",
    },
    // Swedish
    {
        .title = u"Skickade jobb",
        .time = u"Tid",
        .recipients = u"Mottagare",
        .subject = u"\u00C4mne",
        .size = u"Storlek",
        .state = u"Status",
        .beingWritten = u"skrivs",
        .waiting = u"v\u00E4ntar p\u00E5 servern",
        .beingTaken = u"h\u00E4mtas",
        .taken = u"h\u00E4mtat",
        .failed = u"misslyckades",
        .leftLocked = u"f\u00F6rblev l\u00E5st",
        .cannotTell = u"kan inte avg\u00F6ras",
        .takenAt = u"h\u00E4mtat %1",
        .lookedAt = u"Uppladdningsmappen s\u00E5gs %1",
        .close = u"St\u00E4ng",
        .filter = u"Filter: mottagare, \u00E4mne eller jobbnamn",
        .copyName = u"Kopiera jobbnamnet",
        .showDetails = u"Visa detaljer",
        .detailsTitle = u"Skickat jobb",
        .job = u"Jobb:",
        .uploadFolder = u"Uppladdningsmapp:",
        .started = u"B\u00F6rjade:",
        .ended = u"Slutade:",
        .stateLabel = u"Status:",
        .takenLabel = u"H\u00E4mtat:",
        .recipientsLabel = u"Mottagare:",
        .subjectLabel = u"\u00C4mne:",
        .expires = u"Upph\u00F6r efter:",
        .hours = u"timmar",
        .encrypted = u"Krypterat:",
        .selfExtracting = u"Sj\u00E4lvuppackande:",
        .files = u"Kopierade filer:",
        .folders = u"Kopierade mappar:",
        .sizeLabel = u"Storlek:",
        .why = u"Orsak:",
        .message = u"Meddelande:",
        .log = u"Logg:",
        .yes = u"ja",
        .no = u"nej",
        .notification = u"H\u00E4mtat av servern: %1 till %2",
        .more = u" (+%1)",
        .notRecorded = u"Varning: jobbet kunde inte registreras bland de skickade jobben (%1).",
        .notRead = u"Varning: listan \u00F6ver skickade jobb kunde inte l\u00E4sas eller uppdateras (%1).",
        .setAside = u"Varning: listan \u00F6ver skickade jobb var skadad; den lades undan som %1 och en ny "
              u"p\u00E5b\u00F6rjades.",
    },
}};

} // namespace languagetables

SentJobsTexts SentJobsTextsFor(const QString& languageName)
{
    const SentJobsTable& t = LanguageFor(languageName).sentJobs;
    SentJobsTexts texts;
    texts.title = t.title.toString();
    texts.time = t.time.toString();
    texts.recipients = t.recipients.toString();
    texts.subject = t.subject.toString();
    texts.size = t.size.toString();
    texts.state = t.state.toString();
    texts.beingWritten = t.beingWritten.toString();
    texts.waiting = t.waiting.toString();
    texts.beingTaken = t.beingTaken.toString();
    texts.taken = t.taken.toString();
    texts.failed = t.failed.toString();
    texts.leftLocked = t.leftLocked.toString();
    texts.cannotTell = t.cannotTell.toString();
    texts.takenAt = t.takenAt.toString();
    texts.lookedAt = t.lookedAt.toString();
    texts.close = t.close.toString();
    texts.filter = t.filter.toString();
    texts.copyName = t.copyName.toString();
    texts.showDetails = t.showDetails.toString();
    texts.detailsTitle = t.detailsTitle.toString();
    texts.job = t.job.toString();
    texts.uploadFolder = t.uploadFolder.toString();
    texts.started = t.started.toString();
    texts.ended = t.ended.toString();
    texts.stateLabel = t.stateLabel.toString();
    texts.takenLabel = t.takenLabel.toString();
    texts.recipientsLabel = t.recipientsLabel.toString();
    texts.subjectLabel = t.subjectLabel.toString();
    texts.expires = t.expires.toString();
    texts.hours = t.hours.toString();
    texts.encrypted = t.encrypted.toString();
    texts.selfExtracting = t.selfExtracting.toString();
    texts.files = t.files.toString();
    texts.folders = t.folders.toString();
    texts.sizeLabel = t.sizeLabel.toString();
    texts.why = t.why.toString();
    texts.message = t.message.toString();
    texts.log = t.log.toString();
    texts.yes = t.yes.toString();
    texts.no = t.no.toString();
    texts.notification = t.notification.toString();
    texts.more = t.more.toString();
    texts.notRecorded = t.notRecorded.toString();
    texts.notRead = t.notRead.toString();
    texts.setAside = t.setAside.toString();
    return texts;
}
