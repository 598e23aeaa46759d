#include "selection/SelectionEntry.h"

#include <QTest>

class TestSelectionEntry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void folderEntriesUnderEveryMarker_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("path");
        QTest::newRow("English") << "/home/ann/Project (:Folder:)" << "/home/ann/Project";
        QTest::newRow("Dutch") << "/home/ann/Project (:Map:)" << "/home/ann/Project";
        QTest::newRow("German") << "/home/ann/Project (:Ordner:)" << "/home/ann/Project";
        QTest::newRow("Swedish") << "/home/ann/Project (:Mapp:)" << "/home/ann/Project";
        QTest::newRow("French") << "/home/ann/Project (:Dossier:)" << "/home/ann/Project";
        QTest::newRow("upper-case marker") << "/home/ann/Project (:FOLDER:)" << "/home/ann/Project";
        QTest::newRow("lower-case marker") << "/home/ann/Project (:dossier:)" << "/home/ann/Project";
        QTest::newRow("path keeps its case") << "/Data/MixedCase/ÄbC (:folder:)" << "/Data/MixedCase/ÄbC";
        QTest::newRow("root") << "/ (:Folder:)" << "/";
        // The reading rule finds a marker anywhere, so such a file reads as a folder.
        QTest::newRow("marker inside a file name") << "/tmp/notes (:Folder:).txt" << "/tmp/notes (:F";
        QTest::newRow("marker alone") << "(:Map:)" << "";
    }
    void folderEntriesUnderEveryMarker()
    {
        QFETCH(QString, entry);
        QFETCH(QString, path);
        const SelectionEntry e = ReadSelectionEntry(entry);
        QVERIFY(e.isFolder);
        QCOMPARE(e.path, path);
    }

    void fileEntriesStandAsTheyAre_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::newRow("plain") << "/home/ann/Report.DOC";
        QTest::newRow("blank and brackets") << "/home/ann/a (Folder).txt";
        QTest::newRow("half a marker") << "/home/ann/x (:Fold";
        QTest::newRow("empty") << "";
    }
    void fileEntriesStandAsTheyAre()
    {
        QFETCH(QString, entry);
        const SelectionEntry e = ReadSelectionEntry(entry);
        QVERIFY(!e.isFolder);
        QCOMPARE(e.path, entry);
    }

    void makeFolderEntryReadsBack()
    {
        const QString entry = MakeFolderEntry(QStringLiteral("/srv/Job Files"), QStringLiteral("(:Ordner:)"));
        QCOMPARE(entry, QStringLiteral("/srv/Job Files (:Ordner:)"));
        QCOMPARE(ReadSelectionEntry(entry).path, QStringLiteral("/srv/Job Files"));
    }

    void sourcesOfAMixedSelectionKeepOrderAndCase()
    {
        const QStringList entries = {QStringLiteral("/a/Report.doc"), QStringLiteral("/Data/Project (:Folder:)"),
                                     QStringLiteral("/Data/Fotos (:Map:)"), QStringLiteral("/a/Report.doc"),
                                     QStringLiteral("/x/Y (:ORDNER:)")};
        QCOMPARE(SelectionSources(entries),
                 QStringList({QStringLiteral("/a/Report.doc"), QStringLiteral("/Data/Project"),
                              QStringLiteral("/Data/Fotos"), QStringLiteral("/a/Report.doc"), QStringLiteral("/x/Y")}));
    }
};

QTEST_GUILESS_MAIN(TestSelectionEntry)
#include "tst_selectionentry.moc"
