// The macro files: create, save, load, rename and delete with the bindings,
// import and export, unsafe names, and files that would make a load unbounded.
#include "testlib/FakeFileDialogs.h"
#include "app/myQQuickView.h"
#include "macro/MacroStore.h"
#include "testlib/TestData.h"

#include <QSettings>
#include <QtTest>

namespace
{
QString macroFile(const QString &name) { return QStringLiteral("modules/macro/") + name + ".bin"; }

// The bridge in a private data copy (made first, as the bridge reads it).
struct Bridge {
    TestData data;
    DialogBridge bridge;
    myQQuickView &view = bridge.view;
    FakeFileDialogs *dialogs = bridge.dialogs;
    // Binds button `button` of profile `profile` to macro `name`.
    void bind(int profile, int button, const QString &name)
    {
        SettingsFile *p = view.stores().profile(profile);
        p->setValue(QStringLiteral("mouseKeyMatrix/%1").arg(button), QVariantList{4, 0, button, 0});
        p->setValue(QStringLiteral("mouseMacroKey/%1").arg(button), name);
    }
    QStringList matrix(int profile, int button)
    {
        return view.stores().profile(profile)->value(QStringLiteral("mouseKeyMatrix/%1").arg(button)).toStringList();
    }
    QString boundName(int profile, int button)
    {
        return view.stores().profile(profile)->value(QStringLiteral("mouseMacroKey/%1").arg(button)).toString();
    }
    QString config(const QString &name, const char *key)
    {
        return QSettings(data.path(macroFile(name)), QSettings::IniFormat).value(key).toString();
    }
};

// A file and what a load gives: its entries, then the repeat count.
const struct { const char *tag; QByteArray file; QStringList loaded; } kLoads[] = {
    {"absurd total", "[config]\ntotal=2000000000\nrepeat=1\n[macro]\n0=\"1,A\"\n",
     QStringList{"1,A"} + QStringList(MacroStore::kMaxEvents - 1, "0") + QStringList{"1"}},
    {"text total", "[config]\ntotal=lots\nrepeat=7\n[macro]\n0=\"1,A\"\n", {"7"}},
    {"missing entries read as 0", "[config]\ntotal=3\nrepeat=1\n[macro]\n1=\"2,B\"\n", {"0", "2,B", "0", "1"}},
    {"unquoted entry stays one", "[config]\ntotal=2\nrepeat=1\n[macro]\n0=1,A\n1=1,,\n", {"1,A", "1,,", "1"}}};
const struct { const char *tag, *from, *to; } kNoRename[] = {
    {"name taken", "A", "B"}, {"profile 5 cannot be written", "A", "C"}, {"no such macro", "Ghost", "C"}};
} // namespace

class TestMacroFiles : public QObject
{
    Q_OBJECT

private slots:
    void createSaveLoad();
    void rename();
    void renameThatCannotHappen_data() { addRows(kNoRename); }
    void renameThatCannotHappen();
    void deleteRestoresBoundButtons();
    void unsafeNamesAreRefused();
    void importAndExport();
    void loadStaysBounded_data() { addRows(kLoads); }
    void loadStaysBounded();
};

void TestMacroFiles::createSaveLoad()
{
    Bridge b;
    QVERIFY(QDir(b.data.path("modules/macro")).removeRecursively()); // made on the first create
    QCOMPARE(b.view.createMacroIni(QStringLiteral("Macro_0"), 0), QVariant(true));
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("Macro_0")), QStringList{"1"});
    // Creating over an existing file keeps its other keys.
    b.data.write(macroFile("Old"), "[config]\nnote=mine\ntotal=1\n[macro]\n0=\"1,A\"\n");
    QCOMPARE(b.view.createMacroIni(QStringLiteral("Old"), 3), QVariant(true));
    QCOMPARE(b.config("Old", "config/note"), QStringLiteral("mine"));
    QCOMPARE(b.config("Old", "config/index"), QStringLiteral("3"));
    // Every kind of entry comes back as it went in; a save replaces the list.
    const QStringList entries{"0,120", "1,A", "1,,", "2,;", "1,\\", "2,=", QString::fromUtf8("1,\xe2\x96\xba"), "3,MS-B5"};
    QCOMPARE(b.view.saveMacroIni(QStringLiteral("Old"), entries + entries, 5), QVariant(true));
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("Old")), entries + entries + QStringList{"5"});
    QCOMPARE(b.view.saveMacroIni(QStringLiteral("Old"), {"3,MS-L", "4,MS-L"}, 2), QVariant(true));
    QVERIFY(b.config("Old", "macro/2").isEmpty());
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("Old")), (QStringList{"3,MS-L", "4,MS-L", "2"}));
    // A missing file is neither saved to nor made; a delete says whether it deleted.
    QCOMPARE(b.view.saveMacroIni(QStringLiteral("Ghost"), {"1,A"}, 1), QVariant(false));
    QVERIFY(!QFile::exists(b.data.path(macroFile("Ghost"))));
    QCOMPARE(b.view.deleteMacroIni(QStringLiteral("Old")), QVariant(true));
    QVERIFY(!QFile::exists(b.data.path(macroFile("Old"))));
    QCOMPARE(b.view.deleteMacroIni(QStringLiteral("Old")), QVariant(false));
}

void TestMacroFiles::rename()
{
    for (const QString &newName : {QString(64, 'n'), QStringLiteral("a..b"), QStringLiteral("Échap ü")}) {
        Bridge b;
        b.view.createMacroIni(QStringLiteral("Old"), 0);
        b.view.saveMacroIni(QStringLiteral("Old"), {"1,A", "2,A"}, 3);
        const QByteArray bytes = b.data.read(macroFile("Old"));
        b.bind(5, 9, QStringLiteral("Old"));
        b.bind(6, 2, QStringLiteral("Old"));
        b.bind(1, 4, QStringLiteral("Other"));
        QCOMPARE(b.view.modifyMacroNameUpdateProfile(QStringLiteral("Old"), newName), QVariant(true));
        QVERIFY(!QFile::exists(b.data.path(macroFile("Old"))));
        QCOMPARE(b.data.read(macroFile(newName)), bytes);
        QCOMPARE(b.boundName(5, 9), newName);
        // Profiles beyond the six the UI uses, and other macros, keep theirs.
        QCOMPARE(QStringList({b.boundName(6, 2), b.boundName(1, 4)}), QStringList({"Old", "Other"}));
    }
}

void TestMacroFiles::renameThatCannotHappen()
{
    ROW(kNoRename);
    const QString from = r.from, to = r.to;
    Bridge b;
    b.view.createMacroIni(QStringLiteral("A"), 0);
    b.view.createMacroIni(QStringLiteral("B"), 0);
    b.view.saveMacroIni(QStringLiteral("B"), {"1,B"}, 1);
    b.bind(4, 1, from);
    if (to == "C" && from == "A") {
        // Profile 5 becomes a link: readable, but never written through.
        const QString p5 = b.data.path("modules/setting/p5.bin");
        QVERIFY(QFile::rename(p5, p5 + ".real"));
        QVERIFY(QFile::link(p5 + ".real", p5));
    }
    const auto before = b.data.snapshot();
    QCOMPARE(b.view.modifyMacroNameUpdateProfile(from, to), QVariant(false));
    // A rename that cannot happen changes nothing, bindings included.
    QCOMPARE(b.boundName(4, 1), from);
    QCOMPARE(b.data.snapshot(), before);
}

void TestMacroFiles::deleteRestoresBoundButtons()
{
    Bridge b;
    const QSettings defaults(b.data.path("modules/setting/pD.bin"), QSettings::IniFormat);
    b.bind(2, 3, QStringLiteral("M"));
    b.bind(2, 4, QStringLiteral("N"));
    b.bind(7, 3, QStringLiteral("M"));
    // Kind 4 but its name entry points at another slot bound to N.
    SettingsFile *p1 = b.view.stores().profile(1);
    p1->setValue("mouseKeyMatrix/8", QVariantList{4, 0, 4, 0});
    p1->setValue("mouseMacroKey/4", "N");
    // A key binding that happens to carry a macro name entry.
    p1->setValue("mouseKeyMatrix/9", QVariantList{1, 4, 9, 0});
    p1->setValue("mouseMacroKey/9", "M");
    b.view.deleteMacroUpdateProfile(QStringLiteral("M"));
    const auto dflt = [&](int k) { return defaults.value(QStringLiteral("mouseKeyMatrix/%1").arg(k)).toStringList(); };
    QCOMPARE(b.matrix(2, 3), dflt(3));
    QCOMPARE(b.matrix(2, 4), (QStringList{"4", "0", "4", "0"}));
    QCOMPARE(b.matrix(7, 3), (QStringList{"4", "0", "3", "0"}));
    QCOMPARE(b.matrix(1, 8), (QStringList{"4", "0", "4", "0"}));
    QCOMPARE(b.matrix(1, 9), (QStringList{"1", "4", "9", "0"}));
    QCOMPARE(b.boundName(2, 3), QStringLiteral("M")); // the name entry itself stays

    // Without a default the binding goes, with a line saying so.
    b.bind(0, 3, QStringLiteral("X"));
    b.view.stores().defaults().remove("mouseKeyMatrix/3");
    DebugCapture cap;
    b.view.deleteMacroUpdateProfile(QStringLiteral("X"));
    QVERIFY(!b.view.stores().profile(0)->contains("mouseKeyMatrix/3"));
    QVERIFY(cap.contains("macro: no default for mouseKeyMatrix/3 - binding removed"));
}

void TestMacroFiles::unsafeNamesAreRefused()
{
    Bridge b;
    // Canaries where a leaking name would land.
    b.data.write("modules/evil.bin", "canary");
    b.data.write("modules/macro/Safe.bin", "[config]\ntotal=0\nrepeat=1\n");
    b.data.write("in.mc", "[config]\ntotal=0\n");
    b.dialogs->answers = {b.data.path("in.mc"), b.data.path("out.mc")};
    b.bind(0, 2, QStringLiteral("Safe"));
    const auto before = b.data.snapshot();
    const QString names[] = {QString(), "../evil", "sub/evil", "..\\evil", "..", ".hidden", "a\nb", "   ", "a*b",
                             QString(65, 'm'), "/tmp/evil", QString::fromUtf16(u"ev\0il", 5)};
    for (const QString &name : names) {
        const QByteArray tag = name.left(24).toUtf8().toPercentEncoding();
        DebugCapture cap;
        QVERIFY2(b.view.createMacroIni(name, 0) == QVariant(false), tag);
        QVERIFY2(b.view.saveMacroIni(name, {"1,A"}, 1) == QVariant(false), tag);
        QVERIFY2(b.view.loadMacroIni(name).isEmpty(), tag);
        QVERIFY2(b.view.deleteMacroIni(name) == QVariant(false), tag);
        QVERIFY2(b.view.modifyMacroNameUpdateProfile(QStringLiteral("Safe"), name) == QVariant(false), tag);
        QVERIFY2(b.view.modifyMacroNameUpdateProfile(name, QStringLiteral("Other")) == QVariant(false), tag);
        QVERIFY2(!b.view.loadMacroFile(name), tag);
        b.view.saveMacroFile(name);
        QVERIFY2(b.boundName(0, 2) == QStringLiteral("Safe") && b.dialogs->calls.isEmpty(), tag);
        QVERIFY2(b.data.snapshot() == before, tag);
        QVERIFY2(cap.lines().join('\n').contains(QStringLiteral("macro: refused name")), tag);
    }
}

void TestMacroFiles::importAndExport()
{
    Bridge b;
    const QByteArray mc = "; from elsewhere\r\n[config]\r\ntotal = 2\r\nrepeat=4\r\n[macro]\r\n0=\"1,A\"\r\n1=\"2,A\"\r\n";
    b.data.write("in.mc", mc);
    b.data.write("out.mc", QByteArray(5000, 'z'));
    b.dialogs->answers = {QString(), QString(), b.data.path("in.mc"), b.data.path("in.mc"), b.data.path("missing.mc"),
                          b.data.path("new.mc"), b.data.path("out.mc"), b.data.path(macroFile("Macro_3")),
                          "./modules/macro/../macro/Macro_3.bin"};
    // Cancelled dialogs: false, and nothing written.
    QCOMPARE(b.view.loadMacroFile(QStringLiteral("Macro_3")), false);
    b.view.createMacroIni(QStringLiteral("Mine"), 0);
    const QByteArray mine = b.data.read(macroFile("Mine"));
    auto before = b.data.snapshot();
    b.view.saveMacroFile(QStringLiteral("Mine"));
    QCOMPARE(b.data.snapshot(), before);
    // Captions, folder and parent are the profile test's to check; here the filter.
    QCOMPARE(b.dialogs->calls.size(), qsizetype(2));
    QVERIFY(b.dialogs->calls.at(0).filter == "Macro(*.mc)" && b.dialogs->calls.at(1).filter == "Macro(*.mc)");
    // An import copies the bytes as they are.
    QCOMPARE(b.view.loadMacroFile(QStringLiteral("Macro_3")), true);
    QCOMPARE(b.data.read(macroFile("Macro_3")), mc);
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("Macro_3")), (QStringList{"1,A", "2,A", "4"}));
    // A file was chosen both times: true, and an existing macro stays.
    DebugCapture cap;
    QCOMPARE(b.view.loadMacroFile(QStringLiteral("Mine")), true);
    QCOMPARE(b.data.read(macroFile("Mine")), mine);
    QVERIFY(cap.lines().join('\n').contains(QStringLiteral("target exists")));
    QCOMPARE(b.view.loadMacroFile(QStringLiteral("Fresh")), true);
    QVERIFY(!QFile::exists(b.data.path(macroFile("Fresh"))));
    // An export copies, replacing what the target held, but never its own file.
    const QByteArray bytes = b.data.read(macroFile("Macro_3"));
    for (int i = 0; i < 4; ++i)
        b.view.saveMacroFile(QStringLiteral("Macro_3"));
    QCOMPARE(b.data.read("new.mc"), bytes);
    QCOMPARE(b.data.read("out.mc"), bytes);
    QCOMPARE(b.data.read(macroFile("Macro_3")), bytes);
}

void TestMacroFiles::loadStaysBounded()
{
    ROW(kLoads);
    Bridge b;
    b.data.write(macroFile("M"), r.file);
    QCOMPARE(b.view.loadMacroIni("M"), r.loaded);
}

QTEST_MAIN(TestMacroFiles)
#include "tst_macro_files.moc"
