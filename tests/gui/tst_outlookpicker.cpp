// The contacts picker on Windows, reading the mail program's contacts by automation from
// the stand-in server (tests/support/outlook) that each test registers and gives a folder.
#include "GuiTestHelpers.h"
#include "platform/windows/Dispatch.h"
#include "recipients/gui/ContactsPicker.h"

#include <QElapsedTimer>

namespace {
template <typename F> F standIn(const char* name)
{
    static const HMODULE dll = ::LoadLibraryW(L"outlook_standin.dll"); // held: its records stay
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(dll, name)));
}

// The window with the stand-in registered, its folder's contacts one a line (none: not
// registered), and a vCard file beside.
struct OutlookWindow : StartedWindow {
    explicit OutlookWindow(const QByteArray& folder) : StartedWindow("OUTLOOKADR=ENABLED\r\n")
    {
        vcard = env.makeFile("appdata/Parvela/contacts.vcf", "BEGIN:VCARD\r\nFN:Vera\r\nEMAIL:v@example.org\r\nEND:VCARD\r\n");
        const QString contacts = QString::fromUtf8(folder);
        standIn<void(WINAPI*)(const wchar_t*)>("StandInSetContacts")(reinterpret_cast<const wchar_t*>(contacts.utf16()));
        if (!folder.isNull())
            standIn<HRESULT(WINAPI*)()>("DllRegisterServer")();
        run->client->addressBook = AddressBook::open();
        run->showPage(Page::Message);
    }
    ~OutlookWindow() { standIn<HRESULT(WINAPI*)()>("DllUnregisterServer")(); }

    // Opens the picker, moves every contact across and confirms: what it listed, in order,
    // and in ms how long the opening took and the whole pick.
    QStringList pickAll(qint64 (&ms)[2])
    {
        ContactsPicker* picker = run->program->contactsPicker();
        QElapsedTimer clock;
        clock.start();
        whenShown(picker, [&] {
            ms[0] = clock.elapsed();
            picker->findChild<QPushButton*>("Ball")->click();
            picker->findChild<QPushButton*>("Bok")->click();
        });
        QTest::mouseClick(run->find<QPushButton>("Badr"), Qt::LeftButton);
        ms[1] = clock.elapsed();
        return itemTexts(picker->findChild<QListWidget*>("adrdst"));
    }
    QString vcard;
};

struct Case {
    QByteArray folder;                // the stand-in's contacts; null: not registered
    QStringList listed, shown, added; // shown: the error boxes, %V the vCard file
    QString calls;                    // the stand-in's record, where given
};
} // namespace
Q_DECLARE_METATYPE(Case)

class TestOutlookPicker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { verifyNoWindowLeft(); }

    void contacts_data()
    {
        QTest::addColumn<Case>("c");
        QTest::newRow("beyond ASCII, no address, the folder's order")
            << Case{"Zoë Åström\tzoë@büro.example\nBo\t\n李雷\tli@example.cn\n",
                    {u"Zoë Åström <zoë@büro.example>"_qs, "Bo <>", u"李雷 <li@example.cn>"_qs}, {},
                    {u"zoë@büro.example"_qs, "li@example.cn"}, {}};
        QTest::newRow("the 3rd item fails: what came before stays")
            << Case{"Ann\ta@example.org\nBob\t\n!fail\tThe item is locked.\nCy\tc@example.org\n",
                    {"Ann <a@example.org>", "Bob <>"}, {"The item is locked."}, {"a@example.org"},
                    "GetNameSpace(MAPI) GetDefaultFolder(10) Items Count Items Item(1) FullName Email1Address Items "
                    "Item(2) FullName Email1Address Items Item(3) "};
        QTest::newRow("Count is no number")
            << Case{"!count\tmany\nAnn\ta@example.org\n", {}, {HresultText(DISP_E_TYPEMISMATCH)}, {}, {}};
        QTest::newRow("empty folder") << Case{"", {}, {}, {}, {}};
        QTest::newRow("not registered: said, then the vCard file")
            << Case{QByteArray(), {"Vera <v@example.org>"},
                    {HresultText(CO_E_CLASSSTRING) + ": Outlook.Application\nThe contacts of %V are listed instead."},
                    {"v@example.org"}, {}};
        Case many;
        for (int i = 1; i <= 20000; ++i) {
            many.folder += QStringLiteral("C %1\tc%1@example.org\n").arg(i).toUtf8();
            many.listed << QStringLiteral("C %1 <c%1@example.org>").arg(i);
            many.added << QStringLiteral("c%1@example.org").arg(i);
        }
        QTest::newRow("20,000 contacts") << many;
    }
    // Each pick within a few seconds, however many contacts; every object released.
    void contacts()
    {
        QFETCH(Case, c);
        OutlookWindow w(c.folder);
        qint64 ms[2] = {-1, -1};
        QCOMPARE(w.pickAll(ms), c.listed);
        qInfo("%lld contacts listed in %lld ms, all chosen and added in %lld ms", qint64(c.listed.size()), ms[0], ms[1]);
        QVERIFY2(ms[1] < 5000, qPrintable(QString::number(ms[1])));
        QStringList boxes;
        for (const Prompt& p : w.run->client->prompter.shown())
            boxes << p.text;
        QCOMPARE(boxes, c.shown.replaceInStrings("%V", w.vcard));
        QCOMPARE(w.run->client->form.recipients(), c.added);
        QCOMPARE(standIn<LONG(WINAPI*)()>("StandInLiveObjects")(), 0);
        if (!c.calls.isNull())
            QCOMPARE(QString::fromWCharArray(standIn<const wchar_t*(WINAPI*)()>("StandInCalls")()), c.calls.replace(u' ', u'\n'));
    }
};

QTEST_MAIN(TestOutlookPicker)
#include "tst_outlookpicker.moc"
