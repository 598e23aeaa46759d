// The language tables: every language has every text, its own words, the same places
// for what is filled in, and the forms the window relies on; any other key is English.
#include "i18n/LanguageList.h"
#include "i18n/LanguageTexts.h"
#include "i18n/Languages.h"
#include "platform/Cp1252.h"
#include "spool/JobDescriptor.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <bit>

namespace {
const QString kTitle = QStringLiteral("Trovik Parvela Client");
const QString kVersion = QStringLiteral("2007 - R1.2.6");
// The most texts two languages may have in common.
constexpr int kSharedWords = 8;

LanguageTexts loaded(const QString& key)
{
    LanguageTexts texts;
    texts.load(key, kTitle, kVersion);
    return texts;
}
QStringList slotsOf(const LanguageTexts& texts)
{
    QStringList all;
    for (int i = 1; i <= kSlotCount; ++i)
        all.append(texts.text(i));
    return all;
}

// Every text of a table, whatever its members: a table is nothing but its texts.
template <typename Table>
QStringList textsOf(const Table& table)
{
    constexpr std::size_t n = sizeof(Table) / sizeof(TableText);
    static_assert(sizeof(Table) == n * sizeof(TableText), "a table holds texts only");
    QStringList all;
    for (const TableText& t : std::bit_cast<std::array<TableText, n>>(table))
        all << t.toString();
    return all;
}
// A language's texts beyond the slots, table by table.
QList<QStringList> tablesOf(const LanguageRecord& r)
{
    return {textsOf(r.copyWindow), textsOf(r.leftOut), textsOf(r.paths), textsOf(r.sentJobs)};
}

QStringList placesOf(const QString& text)
{
    static const QRegularExpression places(QStringLiteral("%\\d"));
    QStringList found;
    for (auto it = places.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    return found;
}
} // namespace

class TestLanguageTexts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A sample of each language's slots as they must stand, blanks and quirks included.
    void eachLanguageHasItsTexts_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("text");
        QTest::newRow("en post quit") << kEnglish << int(PostQuit) << "Quit";
        QTest::newRow("en last") << kEnglish << int(AutoQuitCaption) << "Done / Quit";
        QTest::newRow("nl file count") << kDutch << int(SummaryFileCount) << "  Aantal bestanden: ";
        QTest::newRow("nl drop zone") << kDutch << int(DropZoneLabel) << "Te verzenden bestanden/mappen:";
        QTest::newRow("de post quit") << kGerman << int(PostQuit) << "Beenden";
        QTest::newRow("de apply") << kGerman << int(ApplyCaption) << QString::fromUtf8("\u00fcbernehmen");
        QTest::newRow("fr unit") << kFrench << int(MegaByteUnit) << QString::fromUtf8(" M\u00e9gaoctects");
        QTest::newRow("fr to") << kFrench << int(SummaryTo) << "  A: ";
        QTest::newRow("sv subject") << kSwedish << int(SummarySubject) << QString::fromUtf8("  \u00c4rende: ");
        QTest::newRow("sv lock released") << kSwedish << int(StatusLockReleased) << QString::fromUtf8("05 - L\u00e5sning sl\u00e4ppt");
    }
    void eachLanguageHasItsTexts()
    {
        QFETCH(QString, key);
        QFETCH(int, slot);
        QFETCH(QString, text);
        QCOMPARE(loaded(key)[Slot(slot)], text);
    }

    // Only the exact keys choose a language; everything else is English. Loading a
    // language leaves nothing of the one before.
    void otherKeysGiveEnglish_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("empty") << QString();
        QTest::newRow("mixed case") << "Deutsch";
        QTest::newRow("upper-case C-cedilla") << QString::fromUtf8("FRAN\u00c7AIS");
        QTest::newRow("plain C") << "FRANCAIS";
        QTest::newRow("trailing blank") << "DEUTSCH ";
        QTest::newRow("unknown") << "KLINGON";
    }
    void otherKeysGiveEnglish()
    {
        QFETCH(QString, key);
        const LanguageTexts english = loaded(kEnglish);
        LanguageTexts texts;
        texts.load(kGerman, kTitle, kVersion);
        texts.load(key, kTitle, kVersion);
        QCOMPARE(slotsOf(texts), slotsOf(english));
        QCOMPARE(texts.welcomeLines(), english.welcomeLines());
        QCOMPARE(texts.welcomeLines().first(), QStringLiteral("Welcome to Trovik Parvela Client 2007 - R1.2.6"));
    }

    // Every language, walked from its record: its Settings entry gives its key back; it
    // has every slot and every text of every table, each with the same places for what
    // is filled in as English (a %2 lost would leave a name out); every slot fits a
    // field of the job in Windows-1252, the summary's labels keep their blanks; and its
    // words are its own: a table or a welcome page pasted from another language, or a
    // text keyed to another, shows here as texts two languages share.
    void everyLanguageIsWhole()
    {
        const LanguageRecord& englishRecord = LanguageFor(kEnglish);
        QHash<QString, QStringList> words; // every slot, table text and welcome line
        QHash<QString, QList<QStringList>> tablesByKey;
        QSet<QString> locales;
        for (const LanguageRecord& record : AllLanguages()) {
            const QString& key = record.key;
            QCOMPARE(LanguageKeyOfEntry(LanguageListIndex(key)), key);
            const LanguageTexts texts = loaded(key);
            for (int i = 1; i <= kSlotCount; ++i) {
                const QString& t = texts.text(i);
                const QString where = key + u'/' + QString::number(i) + QStringLiteral(": ") + t;
                QVERIFY2(!t.isEmpty() && t.size() <= kTextFieldBytes && cp1252::canEncode(t), qPrintable(where));
            }
            for (int slot = SummaryFileCount; slot <= SummaryExpires; ++slot) {
                const QString& t = texts.text(slot);
                QVERIFY2(t.startsWith(QStringLiteral("  ")) && t[2] != u' ' && t.endsWith(QStringLiteral(": ")), qPrintable(key + t));
            }
            QVERIFY(texts[MegaByteUnit].startsWith(u' ') && texts[HoursUnit].startsWith(u' '));
            QCOMPARE(texts.folderMarkers(), LanguageTexts::allFolderMarkers());
            QVERIFY(texts.folderMarkers().contains(texts[FolderMarker]));
            const QList<QStringList> tables = tablesOf(record), englishTables = tablesOf(englishRecord);
            tablesByKey.insert(key, tables);
            QStringList& own = words[key];
            own << slotsOf(texts);
            for (qsizetype t = 0; t < tables.size(); ++t) {
                for (qsizetype i = 0; i < tables[t].size(); ++i) {
                    const QString where = QStringLiteral("%1/table %2/text %3: %4").arg(key).arg(t).arg(i).arg(tables[t][i]);
                    QVERIFY2(!tables[t][i].isEmpty(), qPrintable(where));
                    QVERIFY2(placesOf(tables[t][i]) == placesOf(englishTables[t][i]), qPrintable(where));
                }
                own << tables[t];
            }
            for (const QString& line : texts.welcomeLines())
                QVERIFY2(cp1252::canEncode(line), qPrintable(key + QStringLiteral(": ") + line));
            own << texts.welcomeLines().mid(1);
            own.removeAll(QString());
            locales.insert(record.locale.toLocale().name());
        }
        QCOMPARE(locales.size(), AllLanguages().size());
        // A few words are the same in two languages ("Parvela Client", "Status", "OK"),
        // never a whole table.
        for (auto a = words.cbegin(); a != words.cend(); ++a) {
            for (auto b = std::next(a); b != words.cend(); ++b) {
                for (qsizetype t = 0; t < tablesByKey[a.key()].size(); ++t)
                    QVERIFY2(tablesByKey[a.key()][t] != tablesByKey[b.key()][t],
                             qPrintable(QStringLiteral("%1 and %2: table %3").arg(a.key(), b.key()).arg(t)));
                const QSet<QString> shared = QSet<QString>(a->cbegin(), a->cend()) & QSet<QString>(b->cbegin(), b->cend());
                QVERIFY2(shared.size() <= kSharedWords, qPrintable(QStringLiteral("%1 and %2 share %3: %4")
                    .arg(a.key(), b.key()).arg(shared.size()).arg(QStringList(shared.cbegin(), shared.cend()).join(u'|'))));
            }
        }
    }

    // The welcome page: its heading with the title and version given, and lines that
    // keep their double blanks and quotes (a load after another adds no lines:
    // otherKeysGiveEnglish).
    void welcomePages()
    {
        LanguageTexts texts;
        texts.load(kGerman, QStringLiteral("Title X"), QStringLiteral("V 9"));
        QCOMPARE(texts.welcomeLines().size(), 14);
        QCOMPARE(texts.welcomeLines().first(), QStringLiteral("Herzlich willkommen zu Title X V 9"));
        QVERIFY(texts.welcomeLines().at(4).startsWith(QStringLiteral("Im Reiter \"Dateien/Ordner")));
        QVERIFY(loaded(kDutch).welcomeLines().at(4).contains(QStringLiteral("naar  wie")));
        QVERIFY(loaded(kSwedish).welcomeLines().at(3).contains(QStringLiteral("filer/mappar  som")));
    }
};

QTEST_GUILESS_MAIN(TestLanguageTexts)
#include "tst_languagetexts.moc"
