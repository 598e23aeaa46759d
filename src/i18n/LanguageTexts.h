#pragma once
// The five languages' texts: 70 numbered slots, the folder markers and the welcome
// page. Compiled in; load() fills them for the active language key.
#include <QString>
#include <QStringList>
#include <array>

namespace languagetables {
struct WelcomePage;
}

// Four slots are in every language but no control shows them, and they are not dead:
// AddFileCaption and AddFolderCaption belong to the hidden Add file and Add folder
// buttons of the Select page, FilesToSend to the window's layout, and MegaByteNote is
// the summary's note that is not printed. The slots keep their numbers either way.
enum Slot : int {
    AddFileCaption = 1, AddFolderCaption, SelectFilesAndFolders, SettingsCaption, MaximumSize,
    ToLabel, FromLabel, SubjectLabel, FilesToSend, DeleteCaption,
    NextCaption, PreviousCaption, QuitCaption, FinishCaption, SkipWelcome,
    OkCaption, CancelCaption, SelfExtracting, RememberToSubject, RememberMessageCaption,
    EncryptedWithPassword, LanguageLabel, TabWelcome, TabSelect, TabAddMessage,
    TabSend, SummaryCaption, ExpiryHint, ExpireLabel, SummaryHeading,
    SummaryFileCount, SummaryFolderCount, SummaryFileSize, SummaryFolderSize, SummaryTotalSize,
    SummaryTo, SummaryFrom, SummarySubject, SummaryExpires, MegaByteUnit,
    MegaByteNote, HoursUnit, ConfirmSend, WarnTooLarge, WarnNothingSelected,
    PostReset, PostContinue, PostQuit, PostQuestion, YourName,
    YourCompany, YourEmail, AddressBookTitle, FolderMarker, EncryptedCaption,
    PostCaption, AddressBookCaption, StatusCreatingLock, StatusCreatingDescriptor, StatusCopying,
    StatusCreatingMessage, StatusLockReleased, StatusProcessing, DropZoneLabel, DropZoneHint,
    ColorSchemeLabel, ColorSchemeDefault, ColorSchemeWhite, ApplyCaption, AutoQuitCaption,
};
constexpr int kSlotCount = 70;

// The language keys; any other key means English. Each language's record
// (Languages.cpp) takes its key from here.
inline const QString kEnglish = QStringLiteral("ENGLISH");
inline const QString kDutch = QStringLiteral("NEDERLANDS");
inline const QString kGerman = QStringLiteral("DEUTSCH");
inline const QString kFrench = QStringLiteral("FRAN\u00E7AIS"); // lower-case c-cedilla
inline const QString kSwedish = QStringLiteral("SVENSKA");

class LanguageTexts {
public:
    // LoadLanguageTexts: the folder markers, the welcome page, then all 70 slots for
    // languageName (compared exactly; anything unknown gives English; Languages.h).
    void load(const QString& languageName, const QString& productTitle, const QString& versionText);

    // A slot's current text (empty before the first load).
    const QString& operator[](Slot slot) const { return m_slots[slot - 1]; }
    const QString& text(int slot) const { return m_slots[slot - 1]; }

    // The markers of every language (their folder entries are told by any of them).
    const QStringList& folderMarkers() const { return m_markers; }
    // The welcome page, one entry per line.
    const QStringList& welcomeLines() const { return m_welcome; }

    // The same markers without loading anything (readers of selection entries).
    static const QStringList& allFolderMarkers();

private:
    void buildWelcomeText(const languagetables::WelcomePage& page, const QString& productTitle,
                          const QString& versionText);
    void addWelcomeLine(const QString& line) { m_welcome.append(line); }

    std::array<QString, kSlotCount> m_slots;
    QStringList m_markers;
    QStringList m_welcome;
};
