// The five languages' texts, compiled in. Every text is kept exactly, blanks at either
// end included; all of them fit Windows-1252 and a text field of the job.
#include "i18n/LanguageTables.h"

namespace languagetables {

const std::array<SlotTexts, kLanguageCount> kSlots = {{
    // English
    {{
        u"Add File", // 1 AddFileCaption
        u"Add Folder", // 2 AddFolderCaption
        u"Select files and folders", // 3 SelectFilesAndFolders
        u"Settings", // 4 SettingsCaption
        u"Maximum size:", // 5 MaximumSize
        u"TO:", // 6 ToLabel
        u"FROM:", // 7 FromLabel
        u"SUBJECT:", // 8 SubjectLabel
        u"File/folder to sent:", // 9 FilesToSend
        u"Delete", // 10 DeleteCaption
        u"Next", // 11 NextCaption
        u"Previous", // 12 PreviousCaption
        u"Quit", // 13 QuitCaption
        u"Finish", // 14 FinishCaption
        u"Skip welcome screen", // 15 SkipWelcome
        u"OK", // 16 OkCaption
        u"Cancel", // 17 CancelCaption
        u"Self extracting result (Windows client only)", // 18 SelfExtracting
        u"Remember last TO/SUBJECT", // 19 RememberToSubject
        u"Remember last message", // 20 RememberMessageCaption
        u"Encrypted with password", // 21 EncryptedWithPassword
        u"Language:", // 22 LanguageLabel
        u"Welcome", // 23 TabWelcome
        u"Select files/folders", // 24 TabSelect
        u"Add message", // 25 TabAddMessage
        u"Send", // 26 TabSend
        u"Summary", // 27 SummaryCaption
        u"24 hours = 1 day, 48 hours = 2 days, 168 hours = 1 week", // 28 ExpiryHint
        u"Expire (hours):", // 29 ExpireLabel
        u"Determine what to sent:", // 30 SummaryHeading
        u"  Number of files: ", // 31 SummaryFileCount
        u"  Number of folders: ", // 32 SummaryFolderCount
        u"  Size of files: ", // 33 SummaryFileSize
        u"  Size of folders: ", // 34 SummaryFolderSize
        u"  Total size: ", // 35 SummaryTotalSize
        u"  To: ", // 36 SummaryTo
        u"  From: ", // 37 SummaryFrom
        u"  Subject: ", // 38 SummarySubject
        u"  Expires: ", // 39 SummaryExpires
        u" MegaByte", // 40 MegaByteUnit
        u" 1 MegaByte = 1048576 bytes", // 41 MegaByteNote
        u" hours", // 42 HoursUnit
        u"Sending, are you sure", // 43 ConfirmSend
        u"WARNING: Selected files/folders are too large, select fewer items or contact your system administrator", // 44 WarnTooLarge
        u"WARNING: No files or folders selected, select one or more files or folders and press Finish again.", // 45 WarnNothingSelected
        u"Reset", // 46 PostReset
        u"Continue", // 47 PostContinue
        u"Quit", // 48 PostQuit
        u"Want to reset the project, continue or quit Parvela?", // 49 PostQuestion
        u"Your name:", // 50 YourName
        u"Your company:", // 51 YourCompany
        u"Your email address:", // 52 YourEmail
        u"Addressbook (Outlook)", // 53 AddressBookTitle
        u"(:Folder:)", // 54 FolderMarker
        u"Encrypted", // 55 EncryptedCaption
        u"Parvela job - Finished", // 56 PostCaption
        u"Addressbook", // 57 AddressBookCaption
        u"01 - Creating lock", // 58 StatusCreatingLock
        u"02 - Creating PVX", // 59 StatusCreatingDescriptor
        u"03 - Copying files/folders", // 60 StatusCopying
        u"04 - Creating MSG file", // 61 StatusCreatingMessage
        u"05 - Lock released", // 62 StatusLockReleased
        u"Processing job, please wait", // 63 StatusProcessing
        u"Drop zone", // 64 DropZoneLabel
        u"Select source files and/or folders and drop them on the right", // 65 DropZoneHint
        u"Color scheme: ", // 66 ColorSchemeLabel
        u"Default (R111)", // 67 ColorSchemeDefault
        u"White", // 68 ColorSchemeWhite
        u"Apply", // 69 ApplyCaption
        u"Done / Quit", // 70 AutoQuitCaption
    }},
    // Nederlands
    {{
        u"Bestand toevoegen", // 1 AddFileCaption
        u"Map toevoegen", // 2 AddFolderCaption
        u"Selecteer bestanden en mappen", // 3 SelectFilesAndFolders
        u"Instellingen", // 4 SettingsCaption
        u"Maximum grootte: ", // 5 MaximumSize
        u"AAN:", // 6 ToLabel
        u"VAN:", // 7 FromLabel
        u"ONDERWERP:", // 8 SubjectLabel
        u"Bestand/map te versturen:", // 9 FilesToSend
        u"Verwijderen", // 10 DeleteCaption
        u"Volgende", // 11 NextCaption
        u"Vorige", // 12 PreviousCaption
        u"Afsluiten", // 13 QuitCaption
        u"Voltooien", // 14 FinishCaption
        u"sla welkom scherm over", // 15 SkipWelcome
        u"OK", // 16 OkCaption
        u"Annuleren", // 17 CancelCaption
        u"Zelf uitpakkend resultaat (Alleen voor Windows ontvangers)", // 18 SelfExtracting
        u"Onthoudt laatste Aan/Onderwerp", // 19 RememberToSubject
        u"Onthoudt laatste bericht", // 20 RememberMessageCaption
        u"Versleutelen met wachtwoord", // 21 EncryptedWithPassword
        u"Taal:", // 22 LanguageLabel
        u"Welkom", // 23 TabWelcome
        u"Selecteer bestanden/mappen", // 24 TabSelect
        u"Bericht bijvoegen", // 25 TabAddMessage
        u"Versturen", // 26 TabSend
        u"Samenvatting", // 27 SummaryCaption
        u"24 uur = 1 dag, 48 uur = 2 dagen, 168 uren = 1 week", // 28 ExpiryHint
        u"Verloopt in (uren):", // 29 ExpireLabel
        u"Bepalen wat er wordt verzonden:", // 30 SummaryHeading
        u"  Aantal bestanden: ", // 31 SummaryFileCount
        u"  Aantal mappen: ", // 32 SummaryFolderCount
        u"  Grootte van de bestanden: ", // 33 SummaryFileSize
        u"  Grootte van de mappen: ", // 34 SummaryFolderSize
        u"  Totale grootte: ", // 35 SummaryTotalSize
        u"  Aan: ", // 36 SummaryTo
        u"  Van: ", // 37 SummaryFrom
        u"  Onderwerp: ", // 38 SummarySubject
        u"  Verloopt over: ", // 39 SummaryExpires
        u" MegaByte", // 40 MegaByteUnit
        u" 1 MegaByte = 1048576 bytes", // 41 MegaByteNote
        u" uren", // 42 HoursUnit
        u"Deze bestanden en/of mappen versturen", // 43 ConfirmSend
        u"WAARSCHUWING: De geselecteerde bestanden en/of mappen zijn te groot, pas de selectie aan of neem contact op met je systeembeheerder.", // 44 WarnTooLarge
        u"WAARSCHUWING: Geen bestanden en/of mappen geselecteerd.", // 45 WarnNothingSelected
        u"Opnieuw", // 46 PostReset
        u"Doorgaan", // 47 PostContinue
        u"Afsluiten", // 48 PostQuit
        u"Wilt u opnieuw beginnen, doorgaan of afsluiten?", // 49 PostQuestion
        u"Uw naam:", // 50 YourName
        u"Uw bedrijf:", // 51 YourCompany
        u"Uw email adres:", // 52 YourEmail
        u"Adresboek (Outlook)", // 53 AddressBookTitle
        u"(:Map:)", // 54 FolderMarker
        u"Versleuteld", // 55 EncryptedCaption
        u"Parvela opdracht - Voltooid", // 56 PostCaption
        u"Adresboek", // 57 AddressBookCaption
        u"01 - Lock bestand aanmaken", // 58 StatusCreatingLock
        u"02 - PVX bestand aanmaken", // 59 StatusCreatingDescriptor
        u"03 - Copieren van bestanden/mappen", // 60 StatusCopying
        u"04 - MSG bestand aanmaken", // 61 StatusCreatingMessage
        u"05 - Lock bestand vrijgegeven", // 62 StatusLockReleased
        u"Verwerken van opdracht, momentje aub", // 63 StatusProcessing
        u"Te verzenden bestanden/mappen:", // 64 DropZoneLabel
        u"Selecteer je bron bestanden/mappen en sleep ze naar rechts.", // 65 DropZoneHint
        u"Kleur schema: ", // 66 ColorSchemeLabel
        u"Standaard (R111)", // 67 ColorSchemeDefault
        u"Wit", // 68 ColorSchemeWhite
        u"Toepassen", // 69 ApplyCaption
        u"Klaar / Stop", // 70 AutoQuitCaption
    }},
    // Deutsch
    {{
        u"Datei hinzufügen", // 1 AddFileCaption
        u"Ordner hinzufügen", // 2 AddFolderCaption
        u"Dateien und Ordner auswählen", // 3 SelectFilesAndFolders
        u"Einstellungen", // 4 SettingsCaption
        u"Max. Größe: ", // 5 MaximumSize
        u"AN:", // 6 ToLabel
        u"VON:", // 7 FromLabel
        u"BETREFF:", // 8 SubjectLabel
        u"zu sendende Datei/Ordner:", // 9 FilesToSend
        u"Löschen", // 10 DeleteCaption
        u"Nächster", // 11 NextCaption
        u"Zurück", // 12 PreviousCaption
        u"Verlassen", // 13 QuitCaption
        u"Fertigstellen", // 14 FinishCaption
        u"Willkommens-Bildschirm überspringen", // 15 SkipWelcome
        u"OK", // 16 OkCaption
        u"Abbruch", // 17 CancelCaption
        u"Selbstextrahierende Datei erstellen (nur im Windows-Client)", // 18 SelfExtracting
        u"Letztes AN/BETREFF merken", // 19 RememberToSubject
        u"Letzte Nachricht merken", // 20 RememberMessageCaption
        u"mit Kennwort verschlüsselt", // 21 EncryptedWithPassword
        u"Sprache:", // 22 LanguageLabel
        u"Willkommen", // 23 TabWelcome
        u"Dateien/Ordner auswählen", // 24 TabSelect
        u"Nachricht hinzufügen", // 25 TabAddMessage
        u"gesendet", // 26 TabSend
        u"Zusammenfassung", // 27 SummaryCaption
        u"24 Std. = 1 Tag, 48 Std. = 2 Tage, 168 Std. = 1 Woche", // 28 ExpiryHint
        u"Ablauf (in Std.):", // 29 ExpireLabel
        u"Zusammenfassung:", // 30 SummaryHeading
        u"  Anzahl der Dateien: ", // 31 SummaryFileCount
        u"  Anzahl der Ordner: ", // 32 SummaryFolderCount
        u"  Größe der Dateien: ", // 33 SummaryFileSize
        u"  Größe der Ordner: ", // 34 SummaryFolderSize
        u"  Gesamtgröße: ", // 35 SummaryTotalSize
        u"  An: ", // 36 SummaryTo
        u"  Von: ", // 37 SummaryFrom
        u"  Betreff: ", // 38 SummarySubject
        u"  Ablauf: ", // 39 SummaryExpires
        u" Megabyte", // 40 MegaByteUnit
        u" 1 Megabyte = 1048576 Bytes", // 41 MegaByteNote
        u" Stunden", // 42 HoursUnit
        u"Jetzt senden! Sind Sie sicher?", // 43 ConfirmSend
        u"ACHTUNG: Die ausgewählten Dateien/Ordner sind zu groß! Wählen Sie weniger Einträge aus oder kontaktieren Sie Ihren Systemadministror", // 44 WarnTooLarge
        u"ACHTUNG: Keine Dateien/Ordner ausgewählt! Wählen Sie eine oder mehrer Dateien bzw. Ordner aus und drücken Sie nochmal Abschließen.", // 45 WarnNothingSelected
        u"Abbrechen", // 46 PostReset
        u"Fortfahren", // 47 PostContinue
        u"Beenden", // 48 PostQuit
        u"Möchten das Projekt abbrechen, fortsetzen oder Parvela beenden?", // 49 PostQuestion
        u"Ihr Name:", // 50 YourName
        u"Ihre Firma:", // 51 YourCompany
        u"Ihre E-Mail-Adresse:", // 52 YourEmail
        u"Adressbuch (Outlook)", // 53 AddressBookTitle
        u"(:Ordner:)", // 54 FolderMarker
        u"Verschlüsselt", // 55 EncryptedCaption
        u"Parvela Job - abgeschlossen", // 56 PostCaption
        u"Adressbuch", // 57 AddressBookCaption
        u"01 - Erstelle Sperre", // 58 StatusCreatingLock
        u"02 - Erstelle PVX", // 59 StatusCreatingDescriptor
        u"03 - Kopiere Dateien/Ordner", // 60 StatusCopying
        u"04 - Erstelle Nachrichten-Datei", // 61 StatusCreatingMessage
        u"05 - Sperre entfernt", // 62 StatusLockReleased
        u"Auftrag wird bearbeitet - bitte warten", // 63 StatusProcessing
        u"Ziel-Bereich", // 64 DropZoneLabel
        u"Wählen Sie die Quell-Dateien und/oder -Ordner aus und ziehen Sie sie nach rechts", // 65 DropZoneHint
        u"Farbschema: ", // 66 ColorSchemeLabel
        u"Standard (R111)", // 67 ColorSchemeDefault
        u"Weiß", // 68 ColorSchemeWhite
        u"übernehmen", // 69 ApplyCaption
        u"Fertig / Beenden", // 70 AutoQuitCaption
    }},
    // Français
    {{
        u"Ajouter Fichier", // 1 AddFileCaption
        u"Ajouter Dossier", // 2 AddFolderCaption
        u"Selectionner fichier et dossier", // 3 SelectFilesAndFolders
        u"Paramètres", // 4 SettingsCaption
        u"Grosseur maximum:", // 5 MaximumSize
        u"A:", // 6 ToLabel
        u"De:", // 7 FromLabel
        u"Sujet:", // 8 SubjectLabel
        u"Fichiers/Dossiers à envoyer:", // 9 FilesToSend
        u"Effacer", // 10 DeleteCaption
        u"Suivant", // 11 NextCaption
        u"Précédent", // 12 PreviousCaption
        u"Quitter", // 13 QuitCaption
        u"Terminer", // 14 FinishCaption
        u"Ne plus afficher cette page", // 15 SkipWelcome
        u"OK", // 16 OkCaption
        u"Annuler", // 17 CancelCaption
        u"Créer un fichier exécutable (Client Windows seulement)", // 18 SelfExtracting
        u"Se souvenir du denier Destinataire/Sujet", // 19 RememberToSubject
        u"Se souvenir du dernier message", // 20 RememberMessageCaption
        u"Encrypter avec mot de passe", // 21 EncryptedWithPassword
        u"Langue:", // 22 LanguageLabel
        u"Bienvenue", // 23 TabWelcome
        u"Sélectionner fichiers/dossiers", // 24 TabSelect
        u"Ajouter message", // 25 TabAddMessage
        u"Envoyer", // 26 TabSend
        u"Sommaire", // 27 SummaryCaption
        u"24 heures = 1 jour, 48 heurss = 2 jours, 168 heures = 1 semaine", // 28 ExpiryHint
        u"Expiration (heures):", // 29 ExpireLabel
        u"Sommaire de l'envoi:", // 30 SummaryHeading
        u"  Nombre de fichiers: ", // 31 SummaryFileCount
        u"  Nombre de dossiers: ", // 32 SummaryFolderCount
        u"  Grosseur des fichiers: ", // 33 SummaryFileSize
        u"  Grosseur des dossiers: ", // 34 SummaryFolderSize
        u"  Grosseur totale: ", // 35 SummaryTotalSize
        u"  A: ", // 36 SummaryTo
        u"  De: ", // 37 SummaryFrom
        u"  Sujet: ", // 38 SummarySubject
        u"  Expiration: ", // 39 SummaryExpires
        u" Mégaoctects", // 40 MegaByteUnit
        u" 1 Mégaoctects = 1048576 octects", // 41 MegaByteNote
        u" heures", // 42 HoursUnit
        u"Je désire effectuer cet envoi", // 43 ConfirmSend
        u"Attention: Le total des fichiers/dossiers sélectionnés est trop volumineux, sélectionner moins d'éléments ou contacter votre administrateur", // 44 WarnTooLarge
        u"Attention: Aucun fichiers ou dossiers sélectionnés, sélectionner un ou plusieurs fichiers ou dossiers et appuyer à nouveau sur Terminer.", // 45 WarnNothingSelected
        u"Recommencer", // 46 PostReset
        u"Continuer", // 47 PostContinue
        u"Quitter", // 48 PostQuit
        u"Désirez-vous recommencer, continuer ou quitter Parvela?", // 49 PostQuestion
        u"Votre nom:", // 50 YourName
        u"Votre compagnie:", // 51 YourCompany
        u"Votre adresse électronique:", // 52 YourEmail
        u"Carnet d'adresses (Outlook)", // 53 AddressBookTitle
        u"(:Dossier:)", // 54 FolderMarker
        u"Encrypter", // 55 EncryptedCaption
        u"Parvela job - Terminée", // 56 PostCaption
        u"Carnet d'adresse", // 57 AddressBookCaption
        u"01 - Verrouillage", // 58 StatusCreatingLock
        u"02 - Création PVX", // 59 StatusCreatingDescriptor
        u"03 - Copie des fichiers/dossiers", // 60 StatusCopying
        u"04 - Création du message", // 61 StatusCreatingMessage
        u"05 - Déverrouillage", // 62 StatusLockReleased
        u"En traitement, Un instant SVP", // 63 StatusProcessing
        u"Fichiers/Dossiers sélectionnés", // 64 DropZoneLabel
        u"Sélectionner vos fichiers et/ou dossiers et glisser les à droite", // 65 DropZoneHint
        u"Choix de couleur: ", // 66 ColorSchemeLabel
        u"Défaut (R111)", // 67 ColorSchemeDefault
        u"Blanc", // 68 ColorSchemeWhite
        u"Appliquez", // 69 ApplyCaption
        u"Fait / Quitter", // 70 AutoQuitCaption
    }},
    // Svenska
    {{
        u"Lägg till fil", // 1 AddFileCaption
        u"Lägg till mapp", // 2 AddFolderCaption
        u"Välj filer och mappar", // 3 SelectFilesAndFolders
        u"Inställning", // 4 SettingsCaption
        u"Max storlek:", // 5 MaximumSize
        u"TILL:", // 6 ToLabel
        u"FRÅN:", // 7 FromLabel
        u"ÄRENDE:", // 8 SubjectLabel
        u"Filer/Mappar att sända:", // 9 FilesToSend
        u"Ta Bort", // 10 DeleteCaption
        u"Nästa", // 11 NextCaption
        u"Föregående", // 12 PreviousCaption
        u"Avsluta", // 13 QuitCaption
        u"Klar", // 14 FinishCaption
        u"Hoppa över Välkomstskärm", // 15 SkipWelcome
        u"OK", // 16 OkCaption
        u"Avbryt", // 17 CancelCaption
        u"Självextraherande resultat (Endast Windows Klient)", // 18 SelfExtracting
        u"Kom ihåg senaste TILL/ÄRENDE", // 19 RememberToSubject
        u"Kom ihåg senaste meddelande", // 20 RememberMessageCaption
        u"Krypterad med lösenord", // 21 EncryptedWithPassword
        u"Språk:", // 22 LanguageLabel
        u"Välkommen", // 23 TabWelcome
        u"Välj Filer/Foldrar", // 24 TabSelect
        u"Lägg till meddelande", // 25 TabAddMessage
        u"Skicka", // 26 TabSend
        u"Sammanfattning", // 27 SummaryCaption
        u"24 timmar = 1 dag, 48 timmar = 2 dagar, 168 timmar = 1 vecka", // 28 ExpiryHint
        u"Förfaller (timmar):", // 29 ExpireLabel
        u"Avgör vad som skall skickas:", // 30 SummaryHeading
        u"  Antal filer: ", // 31 SummaryFileCount
        u"  Antal mappar: ", // 32 SummaryFolderCount
        u"  Storlek på filer: ", // 33 SummaryFileSize
        u"  Storlek på mappar: ", // 34 SummaryFolderSize
        u"  Total storlek: ", // 35 SummaryTotalSize
        u"  Till: ", // 36 SummaryTo
        u"  Från: ", // 37 SummaryFrom
        u"  Ärende: ", // 38 SummarySubject
        u"  Förfaller: ", // 39 SummaryExpires
        u" MegaByte", // 40 MegaByteUnit
        u" 1 MegaByte = 1048576 bytes", // 41 MegaByteNote
        u" timmar", // 42 HoursUnit
        u"Skicka, är du säker", // 43 ConfirmSend
        u"VARNING: Valda filer/mappar är för stora, välj färre objekt eller kontakta systemadministratören", // 44 WarnTooLarge
        u"VARNING: Inga filer eller mappar är valda, välj minst en fil eller mapp och klicka på Klar igen.", // 45 WarnNothingSelected
        u"Återställ", // 46 PostReset
        u"Fortsätt", // 47 PostContinue
        u"Avsluta", // 48 PostQuit
        u"Vill du återställa projektet, fortsätta eller avslyta Parvela?", // 49 PostQuestion
        u"Ditt Namn:", // 50 YourName
        u"Din Organisation:", // 51 YourCompany
        u"Din mail adress:", // 52 YourEmail
        u"Adressbok (Outlook)", // 53 AddressBookTitle
        u"(:Mapp:)", // 54 FolderMarker
        u"Krypterad", // 55 EncryptedCaption
        u"Parvela jobb - Klart", // 56 PostCaption
        u"Adressbok", // 57 AddressBookCaption
        u"01 - Skapar lås", // 58 StatusCreatingLock
        u"02 - Skapar PVX", // 59 StatusCreatingDescriptor
        u"03 - Kopierar filer/mappar", // 60 StatusCopying
        u"04 - Skapar MSG fil", // 61 StatusCreatingMessage
        u"05 - Låsning släppt", // 62 StatusLockReleased
        u"Behandlar jobb, vänligen vänta", // 63 StatusProcessing
        u"Drop zone", // 64 DropZoneLabel
        u"Välj käll filer och/eller mappar samt dra och släpp dessa till höger", // 65 DropZoneHint
        u"Färgschema: ", // 66 ColorSchemeLabel
        u"Default (R111)", // 67 ColorSchemeDefault
        u"Vit", // 68 ColorSchemeWhite
        u"Verkställ", // 69 ApplyCaption
        u"Gjort / Avsluta", // 70 AutoQuitCaption
    }},
}};

// Each page: the greeting that opens its heading line (title and version follow), then
// the other lines in order, an empty text for an empty line.
static const TableText kEnglishWelcome[] = {
    u"",
    u"This program will help you to transfer large files and/or folders over the internet without the problem of mailbox sizes and mailsize limitations.",
    u"",
    u"In the Select files/folders TAB you can add the files/folders you want to transmit to someone else, in the Add Message TAB enter the email address to whom you want to sent these files, you can also enter a subject and a short message. On the final TAB you can summarize the task ahead and click Finish to sent the files. Use the TAB buttons or the NEXT, PREVIOUS buttons to navigate through the Parvela Client.",
    u"In this Welcome screen you also have the ability to change some settings by pressing the SETTINGS button.",
    u"",
    u"New in this version is the drag & drop function in the Select files/folders TAB.",
    u"",
    u"For a complete user guide ask your system administrator.",
    u"",
    u"Your transfer is handed to your organisation's Parvela server, which delivers it; nothing is sent by e-mail.",
    u"",
};
static const TableText kDutchWelcome[] = {
    u"",
    u"Dit programma helpt bij het verzenden van grote bestanden en mappen via het internet, zonder overvolle emailboxen of email grootte beperkingen.",
    u"",
    u"In het Selecteer bestanden/mappen scherm kun je diverse bestanden en mappen toevoegen om te versturen. In het Bericht Bijvoegen scherm kun je aangeven naar  wie je deze bestanden wilt sturen en je kan een onderwerp en een kort bericht meesturen. Op het laatste scherm kun je via de samenvatting knop controleren of alles naar wens is en door op Voltooien te klikken worden de bestanden daadwerkelijk verzonden.  Gebruikt de TAB knoppen of de Volgende, Vorige knoppen om door het programma te navigeren.",
    u"De instellingen zijn te vinden in dit welkom scherm.",
    u"",
    u"Nieuw in deze versie is de slepen en neerzetten functie in het Selecteer bestanden/mappen scherm.",
    u"",
    u"Vraag je systeembeheerder voor een volledige handleiding van dit programma.",
    u"",
    u"Uw verzending wordt overgedragen aan de Parvela server van uw organisatie, die haar aflevert; er wordt niets per e-mail verstuurd.",
    u"",
};
static const TableText kGermanWelcome[] = {
    u"",
    u"Dieses Programm unterstützt Sie, ungeachtet von eventuellen Einschränkungen der Mailbox-Größe oder Mailgrößen-Beschränkung, beim Versand großer Dateien und/oder Ordern über das Internet.",
    u"",
    u"Im Reiter \"Dateien/Ordner auswählen\" können Sie Dateien und/oder Ordner zum Versand hinzufügen, im Reiter \"Nachricht hinzufügen\" geben Sie die Empfängeradresse ein, können zusätzlich einen Betreff und eine kurze Nachricht mit auf die Reise schicken. Mit dem Reiter, \"Senden\" wird ihnen eine Zusammenfassung angezeigt und mit einem Klick auf den Schalter \"Abschließen\" werden Ihre Daten verschickt. Verwenden Sie zur Navigation innerhalb des Programms die REITER oder die Schalter Vorheriger/Nächster.",
    u"",
    u"Neu in dieser Version: Die 'Drag&Drop' Funktion im Tab 'Dateien und Ordner auswählen'",
    u"",
    u"In diesem Willkommens-Bildschirm haben Sie mit dem Schalter \"Einstellungen\" die Möglichkeit einige grundlegende Einstellungen zu verändern.",
    u"",
    u"Für ein vollständiges Benutzerhandbuch fragen Sie Ihren System-Administrator.",
    u"",
    u"Ihre Sendung wird dem Parvela-Server Ihrer Organisation übergeben, der sie zustellt; nichts wird per E-Mail verschickt.",
    u"",
};
static const TableText kFrenchWelcome[] = {
    u"",
    u"Cette application vous aidera à transférer des fichiers et/ou des dossiers volumineux à vos divers correspondants sans vous préoccuper des limitations des serveurs de courriers ou des boites de messageries.",
    u"",
    u"Dans l'onglet Sélectionner fichiers/dossiers, vous pouvez ajouter les fichiers/dossiers que vous désirez envoyer.  Dans l'onglet Ajouter message, vous entrez l'adresse de messagerie de votre destinataire.  les différents onglets du client Parvela. Vous pouvez également inclure un sujet ainsi qu'un court message. Dans l'onglet Envoyer, vous pouvez obtenir un sommaire de votre envoie et sélectionner Terminer pour expédier votre envoie. Vous pouvez utiliser les options Suivant et Précédent pour naviguer dans  les différents onglets du client Parvela.",
    u"",
    u"Nouveau dans cette version est la fonction Copier/Coller dans l'onglet Sélectionner Fichiers/Dossiers",
    u"",
    u"Au bas de cette page, vous pouvez utiliser l'option Paramètres pour modifer certaines valeurs par défaut du client Parvela.",
    u"",
    u"Pour un guide d'utilisateur complet, demander à votre administrateur.",
    u"",
    u"Votre envoi est remis au serveur Parvela de votre organisation, qui le livre ; rien n'est envoyé par courrier électronique.",
    u"",
};
static const TableText kSwedishWelcome[] = {
    u"",
    u"Detta program hjälper dig att överföra stora filer och/eller mappar över internet utan de storleks begränsningar som  e-mail brevlådor och e-mail vanligen har. Välj bara dina filer/mappar, lägg till dem till listan och skicka iväg dem.",
    u"Under fliken Välj Filer/mappar kan du lägga till de filer/mappar  som du vill överföra till någon och under Lägg till Meddelande anger du en mail adress till den som du vill ska ha dessa filer. Du kan även lägga till ett kort meddelande.",
    u"På den sista fliken ser du vad som nu kommer att utföras och kan klicka på Klar för att skicka filerna. Använd Flik knappen eller Nästa, Föregående knapparna för att navigera i Parvela Client.",
    u"Denna Välkommen skärm ger dig också möjligheten att ändra några inställningar genom att klicka på Inställningar.",
    u"",
    u"Nytt i denna version är dra & släpp funktion på fliken Välj Filer/Mappar.",
    u"",
    u"För en fullständig användar guide kontakta system administratören.",
    u"",
    u"Din överföring lämnas till din organisations Parvela-server, som levererar den; ingenting skickas med e-post.",
};

const std::array<WelcomePage, kLanguageCount> kWelcome = {{
    {u"Welcome to ", kEnglishWelcome},
    {u"Welkom bij ", kDutchWelcome},
    {u"Herzlich willkommen zu ", kGermanWelcome},
    {u"Bienvenue à ", kFrenchWelcome},
    {u"Välkommen till ", kSwedishWelcome},
}};

} // namespace languagetables
