#pragma once
// Every language the program speaks, one record each: its key (the value the settings
// and the policy file hold), its entry in the Settings list, its locale and every table
// of its texts. LanguageFor() is the one place a key is looked up.
//
// A new language is one record in Languages.cpp with its tables (its slots and welcome
// page in LanguageTables.cpp). A new table is a struct of TableText members here, one
// member of LanguageRecord, and its texts in every record. A text has no default value
// and the big tables are held by reference, so a record or a table that leaves one out
// does not compile: no language falls back to English unnoticed.
#include "i18n/LanguageTables.h"

#include <QLocale>
#include <span>

// A locale as its language and territory; no default either.
struct LocaleName {
    constexpr LocaleName(QLocale::Language language, QLocale::Territory territory)
        : language(language), territory(territory) {}
    QLocale toLocale() const { return QLocale(language, territory); }
    QLocale::Language language;
    QLocale::Territory territory;
};

// The copy progress window's own texts (its Cancel button takes slot CancelCaption).
struct CopyWindowTable {
    TableText copying;   // "Copying: %1", the name being copied
    TableText files;     // "Files: %1 of %2"
    TableText bytes;     // "%1 of %2", two sizes
    TableText cancelled; // the message after Cancel
    TableText silent;    // "The upload folder has not answered for %1 s...", seconds
    TableText rate;      // "%1 files/s, %2/s": files and a size a second
    TableText timeLeft;  // "Time left: %1", h:mm:ss
};

// The summary's labels for what a job leaves out: two blanks first, ": " last.
struct LeftOutTable {
    TableText notFollowed;  // links and system folders not followed
    TableText specialFiles; // pipes, devices, sockets
};

// The window's own messages about paths.
struct PathTable {
    TableText folderCaption;
    TableText folder;          // %1: a folder typed into the path box that does not exist
    TableText pathsCaption;
    TableText paths;           // handed to the program and missing; the names follow
    TableText more;            // %1: how many more
    TableText noAnswerCaption;
    TableText noAnswer;        // a running window that does not answer a later start
    TableText unclear;         // names that could mean more than one file; the names follow
};

// The Sent jobs window's texts, the states of a sent job, the word when one is taken
// and the warnings of the record of sent jobs (SentJobsTexts.h says what each is).
struct SentJobsTable {
    TableText title;
    TableText time;
    TableText recipients;
    TableText subject;
    TableText size;
    TableText state;
    TableText beingWritten;
    TableText waiting;
    TableText beingTaken;
    TableText taken;
    TableText failed;
    TableText leftLocked;
    TableText cannotTell;
    TableText takenAt;
    TableText lookedAt;
    TableText close;
    TableText filter;
    TableText copyName;
    TableText showDetails;
    TableText detailsTitle;
    TableText job;
    TableText uploadFolder;
    TableText started;
    TableText ended;
    TableText stateLabel;
    TableText takenLabel;
    TableText recipientsLabel;
    TableText subjectLabel;
    TableText expires;
    TableText hours;
    TableText encrypted;
    TableText selfExtracting;
    TableText files;
    TableText folders;
    TableText sizeLabel;
    TableText why;
    TableText message;
    TableText log;
    TableText yes;
    TableText no;
    TableText notification;
    TableText more;
    TableText notRecorded;
    TableText notRead;
    TableText setAside;
};

// What assistive tools read out for the controls whose captions are arrows or that
// have no caption, each with its tool tip (ControlTexts.h says which control is which).
struct ControlTable {
    TableText folderPath, folderPathTip;
    TableText folderUp, folderUpTip;
    TableText addToDropZone, addToDropZoneTip;
    TableText contacts, contactsTip;
    TableText chosen, chosenTip;
    TableText addOne, addOneTip;
    TableText addAll, addAllTip;
    TableText removeOne, removeOneTip;
    TableText removeAll, removeAllTip;
    TableText copyProgress, copyProgressTip;
};

namespace languagetables {
extern const std::array<SentJobsTable, kLanguageCount> kSentJobs;
extern const std::array<ControlTable, kLanguageCount> kControls;
}

struct LanguageRecord {
    const QString& key;  // compared exactly; the list entry upper-cased (ASCII) gives it
    TableText listName;  // the language under its own name in the Settings list
    LocaleName locale;   // Qt's own texts, and how sizes and dates are written
    const languagetables::SlotTexts& slots;
    const languagetables::WelcomePage& welcome;
    CopyWindowTable copyWindow;
    LeftOutTable leftOut;
    PathTable paths;
    const SentJobsTable& sentJobs;
    TableText contactSearch; // the hint of the contacts picker's search box
    const ControlTable& controls;
};

// Every record, in the Settings list's order.
std::span<const LanguageRecord> AllLanguages();

// The record whose key equals languageName exactly; English for any other name.
const LanguageRecord& LanguageFor(const QString& languageName);
