#include "i18n/CopyWindowTexts.h"
#include "i18n/LanguageList.h"
#include "i18n/LanguageLocale.h"
#include "i18n/LanguageTexts.h"
#include "i18n/Languages.h"
#include "i18n/LeftOutTexts.h"
#include "i18n/PathTexts.h"
#include "i18n/SentJobsTexts.h"
#include "platform/Cp1252.h"
#include "platform/Text.h"
#include "spool/JobDescriptor.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {
const QString kTitle = QStringLiteral("Trovik Parvela Client");
const QString kVersion = QStringLiteral("2007 - R1.2.6");
const QStringList kMarkers = {QStringLiteral("(:Folder:)"), QStringLiteral("(:Map:)"), QStringLiteral("(:Ordner:)"),
                              QStringLiteral("(:Mapp:)"), QStringLiteral("(:Dossier:)")};
// Every language's key, taken from the records, so that a language added there is
// checked by every test below that walks them all.
const QStringList kAllKeys = [] {
    QStringList keys;
    for (const LanguageRecord& language : AllLanguages())
        keys.append(language.key);
    return keys;
}();

LanguageTexts loaded(const QString& key, const QString& title = kTitle, const QString& version = kVersion)
{
    LanguageTexts texts;
    texts.load(key, title, version);
    return texts;
}
QStringList slotsOf(const LanguageTexts& texts)
{
    QStringList all;
    for (int i = 1; i <= kSlotCount; ++i)
        all.append(texts.text(i));
    return all;
}
} // namespace

class TestLanguageTexts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyBeforeTheFirstLoad()
    {
        const LanguageTexts texts;
        for (int i = 1; i <= kSlotCount; ++i)
            QVERIFY(texts.text(i).isEmpty());
        QVERIFY(texts.folderMarkers().isEmpty());
        QVERIFY(texts.welcomeLines().isEmpty());
    }

    void eachLanguageHasItsTexts_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("text");
        QTest::newRow("en quit") << kEnglish << int(QuitCaption) << "Quit";
        QTest::newRow("en post quit") << kEnglish << int(PostQuit) << "Quit";
        QTest::newRow("en file count") << kEnglish << int(SummaryFileCount) << "  Number of files: ";
        QTest::newRow("en unit") << kEnglish << int(MegaByteUnit) << " MegaByte";
        QTest::newRow("en marker") << kEnglish << int(FolderMarker) << "(:Folder:)";
        QTest::newRow("en first") << kEnglish << int(AddFileCaption) << "Add File";
        QTest::newRow("en last") << kEnglish << int(AutoQuitCaption) << "Done / Quit";
        QTest::newRow("nl file count") << kDutch << int(SummaryFileCount) << "  Aantal bestanden: ";
        QTest::newRow("nl max size") << kDutch << int(MaximumSize) << "Maximum grootte: ";
        QTest::newRow("nl marker") << kDutch << int(FolderMarker) << "(:Map:)";
        QTest::newRow("nl drop zone") << kDutch << int(DropZoneLabel) << "Te verzenden bestanden/mappen:";
        QTest::newRow("de quit") << kGerman << int(QuitCaption) << "Verlassen";
        QTest::newRow("de post quit") << kGerman << int(PostQuit) << "Beenden";
        QTest::newRow("de file size") << kGerman << int(SummaryFileSize) << QString::fromUtf8("  Gr\u00f6\u00dfe der Dateien: ");
        QTest::newRow("de apply") << kGerman << int(ApplyCaption) << QString::fromUtf8("\u00fcbernehmen");
        QTest::newRow("de marker") << kGerman << int(FolderMarker) << "(:Ordner:)";
        QTest::newRow("de hours") << kGerman << int(HoursUnit) << " Stunden";
        QTest::newRow("fr marker") << kFrench << int(FolderMarker) << "(:Dossier:)";
        QTest::newRow("fr unit") << kFrench << int(MegaByteUnit) << QString::fromUtf8(" M\u00e9gaoctects");
        QTest::newRow("fr to") << kFrench << int(SummaryTo) << "  A: ";
        QTest::newRow("fr confirm") << kFrench << int(ConfirmSend) << QString::fromUtf8("Je d\u00e9sire effectuer cet envoi");
        QTest::newRow("sv from") << kSwedish << int(FromLabel) << QString::fromUtf8("FR\u00c5N:");
        QTest::newRow("sv marker") << kSwedish << int(FolderMarker) << "(:Mapp:)";
        QTest::newRow("sv subject") << kSwedish << int(SummarySubject) << QString::fromUtf8("  \u00c4rende: ");
        QTest::newRow("sv lock released") << kSwedish << int(StatusLockReleased) << QString::fromUtf8("05 - L\u00e5sning sl\u00e4ppt");
    }
    void eachLanguageHasItsTexts()
    {
        QFETCH(QString, key);
        QFETCH(int, slot);
        QFETCH(QString, text);
        const LanguageTexts texts = loaded(key);
        QCOMPARE(texts.text(slot), text);
        QCOMPARE(texts[Slot(slot)], text);
    }

    void summaryLabelsKeepTheirBlanks()
    {
        for (const QString& key : kAllKeys) {
            const LanguageTexts texts = loaded(key);
            for (int slot = SummaryFileCount; slot <= SummaryExpires; ++slot) {
                const QString& t = texts.text(slot);
                QVERIFY2(t.startsWith(QStringLiteral("  ")) && t[2] != u' ' && t.endsWith(QStringLiteral(": ")),
                         qPrintable(key + u'/' + QString::number(slot) + u'[' + t + u']'));
            }
            QVERIFY(texts[MegaByteUnit].startsWith(u' '));
            QVERIFY(texts[HoursUnit].startsWith(u' '));
            QVERIFY(texts[MegaByteNote].startsWith(u' '));
        }
    }

    // Only the five exact keys choose a language; everything else is English.
    void otherKeysGiveEnglish_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("ENGLISH") << kEnglish;
        QTest::newRow("empty") << QString();
        QTest::newRow("mixed case") << "Deutsch";
        QTest::newRow("lower case") << "svenska";
        QTest::newRow("upper-case C-cedilla") << QString::fromUtf8("FRAN\u00c7AIS");
        QTest::newRow("plain C") << "FRANCAIS";
        QTest::newRow("trailing blank") << "DEUTSCH ";
        QTest::newRow("unknown") << "KLINGON";
    }
    void otherKeysGiveEnglish()
    {
        QFETCH(QString, key);
        const LanguageTexts english = loaded(kEnglish);
        const LanguageTexts texts = loaded(key);
        QCOMPARE(slotsOf(texts), slotsOf(english));
        QCOMPARE(texts.welcomeLines(), english.welcomeLines());
        QCOMPARE(texts[QuitCaption], QStringLiteral("Quit"));
        QCOMPARE(texts.welcomeLines().first(), QStringLiteral("Welcome to Trovik Parvela Client 2007 - R1.2.6"));
    }

    // Every language's tables beyond the slots are its own: its Settings entry gives its
    // key back, and its locale, copy-window texts and left-out labels are not English's
    // (a table a language lacks would show English here).
    void everyLanguageHasItsOwnTables()
    {
        const CopyWindowTexts english = CopyWindowTextsFor(kEnglish);
        for (const QString& key : kAllKeys) {
            QCOMPARE(LanguageKeyOfEntry(LanguageListIndex(key)), key);
            if (key == kEnglish)
                continue;
            const CopyWindowTexts copy = CopyWindowTextsFor(key);
            QVERIFY2(copy.copying != english.copying && copy.files != english.files && copy.bytes != english.bytes
                         && copy.cancelled != english.cancelled && copy.silent != english.silent,
                     qPrintable(key));
            for (LeftOutLine line : {LeftOutLine::NotFollowed, LeftOutLine::SpecialFiles})
                QVERIFY2(LeftOutLabel(key, line) != LeftOutLabel(kEnglish, line), qPrintable(key));
            QVERIFY2(LanguageLocale(key) != LanguageLocale(kEnglish), qPrintable(key));
            const PathMessage folder = MissingFolderMessage(key, QStringLiteral("x"));
            const PathMessage paths = MissingPathsMessage(key, {QStringLiteral("x")});
            const PathMessage noAnswer = NoAnswerMessage(key);
            QVERIFY2(folder.caption != MissingFolderMessage(kEnglish, QStringLiteral("x")).caption &&
                         folder.text != MissingFolderMessage(kEnglish, QStringLiteral("x")).text &&
                         paths.caption != MissingPathsMessage(kEnglish, {QStringLiteral("x")}).caption &&
                         paths.text != MissingPathsMessage(kEnglish, {QStringLiteral("x")}).text &&
                         noAnswer.text != NoAnswerMessage(kEnglish).text,
                     qPrintable(key));
        }
    }

    void frenchKeyIsWhatTheSettingsYield()
    {
        // The settings list's "Français" upper-cased (ASCII letters only), and the same
        // key read back as Windows-1252 bytes, both choose French.
        QCOMPARE(asciiUpper(QString::fromUtf8("Fran\u00e7ais")), kFrench);
        QCOMPARE(cp1252::decode("FRAN\xe7" "AIS"), kFrench);
        const LanguageTexts texts = loaded(cp1252::decode("FRAN\xe7" "AIS"));
        QCOMPARE(texts[FolderMarker], QStringLiteral("(:Dossier:)"));
        QCOMPARE(texts[FolderMarker], texts.folderMarkers().at(4));
        QCOMPARE(texts[QuitCaption], QStringLiteral("Quitter"));
    }

    void reloadingLeavesNothingOfTheLanguageBefore()
    {
        const LanguageTexts english = loaded(kEnglish);
        const LanguageTexts german = loaded(kGerman);
        LanguageTexts texts;
        texts.load(kEnglish, kTitle, kVersion);
        texts.load(kGerman, kTitle, kVersion);
        QCOMPARE(slotsOf(texts), slotsOf(german));
        QCOMPARE(texts.welcomeLines(), german.welcomeLines());
        texts.load(kEnglish, kTitle, kVersion);
        QCOMPARE(slotsOf(texts), slotsOf(english));
        QCOMPARE(texts.welcomeLines(), english.welcomeLines());
        // German to an unknown key goes back to English as well.
        texts.load(kGerman, kTitle, kVersion);
        texts.load(QStringLiteral("KLINGON"), kTitle, kVersion);
        QCOMPARE(slotsOf(texts), slotsOf(english));
        QCOMPARE(texts.welcomeLines(), english.welcomeLines());
    }

    void welcomePageHoldsOneLanguage_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("greeting");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<int>("noticeLine"); // 1-based
        QTest::newRow("en") << kEnglish << "Welcome to " << 13 << 12;
        QTest::newRow("nl") << kDutch << "Welkom bij " << 13 << 12;
        QTest::newRow("de") << kGerman << "Herzlich willkommen zu " << 14 << 13;
        QTest::newRow("fr") << kFrench << QString::fromUtf8("Bienvenue \u00e0 ") << 14 << 13;
        QTest::newRow("sv") << kSwedish << QString::fromUtf8("V\u00e4lkommen till ") << 12 << 12;
    }
    void welcomePageHoldsOneLanguage()
    {
        QFETCH(QString, key);
        QFETCH(QString, greeting);
        QFETCH(int, lineCount);
        QFETCH(int, noticeLine);
        LanguageTexts texts;
        texts.load(key, QStringLiteral("Title X"), QStringLiteral("V 9"));
        texts.load(key, QStringLiteral("Title X"), QStringLiteral("V 9")); // never accumulates
        const QStringList& lines = texts.welcomeLines();
        QCOMPARE(lines.size(), lineCount);
        QCOMPARE(lines.first(), greeting + QStringLiteral("Title X V 9"));
        QVERIFY(lines.at(1).isEmpty());
        QVERIFY(!lines.at(2).isEmpty());
        QVERIFY(!lines.at(noticeLine - 1).isEmpty());
        QVERIFY(lines.at(noticeLine - 2).isEmpty());

        // No text line of any other language's page shows up.
        QSet<QString> own(lines.begin(), lines.end());
        own.remove(QString());
        for (const QString& other : kAllKeys) {
            if (other == key)
                continue;
            const QStringList foreign = loaded(other, QStringLiteral("Title X"), QStringLiteral("V 9")).welcomeLines();
            for (const QString& line : foreign)
                if (!line.isEmpty())
                    QVERIFY2(!own.contains(line), qPrintable(other + QStringLiteral(": ") + line));
        }
    }

    void welcomePagesKeepTheirExactLines()
    {
        // A few lines with double blanks and quotes inside, as they must stand.
        QVERIFY(loaded(kDutch).welcomeLines().at(4).contains(QStringLiteral("naar  wie")));
        QVERIFY(loaded(kGerman).welcomeLines().at(4).startsWith(QStringLiteral("Im Reiter \"Dateien/Ordner")));
        QVERIFY(loaded(kGerman).welcomeLines().at(8).contains(QStringLiteral("\"Einstellungen\"")));
        QVERIFY(loaded(kSwedish).welcomeLines().at(3).contains(QStringLiteral("filer/mappar  som")));
        QCOMPARE(loaded(kEnglish).welcomeLines().at(9), QStringLiteral("For a complete user guide ask your system administrator."));
    }

    void folderMarkersDoNotDependOnTheKey()
    {
        QCOMPARE(LanguageTexts::allFolderMarkers(), kMarkers);
        for (const QString& key : kAllKeys + QStringList{QString(), QStringLiteral("Deutsch")}) {
            const LanguageTexts texts = loaded(key);
            QCOMPARE(texts.folderMarkers(), kMarkers);
            QVERIFY(kMarkers.contains(texts[FolderMarker]));
        }
    }

    void everySlotFitsEveryLanguage()
    {
        for (const QString& key : kAllKeys) {
            const LanguageTexts texts = loaded(key);
            for (int i = 1; i <= kSlotCount; ++i) {
                const QString& t = texts.text(i);
                const QString where = key + u'/' + QString::number(i);
                QVERIFY2(!t.isEmpty(), qPrintable(where));
                QVERIFY2(t.size() <= kTextFieldBytes, qPrintable(where));
                QVERIFY2(cp1252::canEncode(t), qPrintable(where));
            }
            for (const QString& line : texts.welcomeLines())
                QVERIFY2(cp1252::canEncode(line), qPrintable(key + QStringLiteral(": ") + line));
            // The languages other than English differ from English in most slots.
            if (key != kEnglish) {
                int same = 0;
                const LanguageTexts english = loaded(kEnglish);
                for (int i = 1; i <= kSlotCount; ++i)
                    same += texts.text(i) == english.text(i);
                QVERIFY2(same < 10, qPrintable(key + QStringLiteral(": ") + QString::number(same)));
            }
        }
    }

    // The Sent jobs texts: each language has every one, its own words, and the same
    // places for what is filled in (a %2 lost would leave the recipient out).
    void sentJobsTextsInEveryLanguage()
    {
        const auto all = [](const SentJobsTexts& t) {
            return QStringList{t.title, t.time, t.recipients, t.subject, t.size, t.state, t.beingWritten, t.waiting,
                               t.beingTaken, t.taken, t.failed, t.leftLocked, t.cannotTell, t.takenAt, t.lookedAt,
                               t.close, t.detailsTitle, t.job, t.uploadFolder, t.started, t.ended, t.stateLabel,
                               t.takenLabel, t.recipientsLabel, t.subjectLabel, t.expires, t.hours, t.encrypted,
                               t.selfExtracting, t.files, t.folders, t.sizeLabel, t.why, t.message, t.log, t.yes,
                               t.no, t.notification, t.more, t.notRecorded, t.notRead, t.setAside};
        };
        const QRegularExpression places(QStringLiteral("%\\d"));
        const auto placesOf = [&](const QString& text) {
            QStringList found;
            for (auto it = places.globalMatch(text); it.hasNext();)
                found << it.next().captured();
            found.sort();
            return found;
        };
        const QStringList english = all(SentJobsTextsFor(kEnglish));
        for (const QString& key : kAllKeys) {
            const QStringList texts = all(SentJobsTextsFor(key));
            int same = 0;
            for (qsizetype i = 0; i < texts.size(); ++i) {
                const QString where = key + u'/' + QString::number(i) + QStringLiteral(": ") + texts[i];
                QVERIFY2(!texts[i].isEmpty(), qPrintable(where));
                QCOMPARE(placesOf(texts[i]), placesOf(english[i]));
                same += texts[i] == english[i];
            }
            if (key != kEnglish)
                QVERIFY2(same <= 3, qPrintable(key + QStringLiteral(": ") + QString::number(same)));
        }
    }
};

QTEST_GUILESS_MAIN(TestLanguageTexts)
#include "tst_languagetexts.moc"
