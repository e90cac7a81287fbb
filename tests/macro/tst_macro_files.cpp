// The macro files: create, save and load (every kind of entry survives),
// rename and delete with the profiles' bindings, import and export through
// the file dialogs, names that must never reach the file system, and files
// that would make a load unbounded.
#include "testlib/FakeFileDialogs.h"
#include "app/myQQuickView.h"
#include "macro/MacroStore.h"
#include "testlib/TestData.h"

#include <QDirIterator>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

namespace
{
QString macroFile(const QString &name) { return QStringLiteral("modules/macro/") + name + ".bin"; }

// Every file under the test root with its bytes.
QMap<QString, QByteArray> snapshot(const TestData &data)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(data.root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly)) files.insert(f.fileName(), f.readAll());
    }
    return files;
}

// The bridge in a private data copy, its file dialogs answered from a list.
struct Bridge {
    explicit Bridge(QStringList answers = {})
    {
        auto fake = std::make_unique<FakeFileDialogs>(std::move(answers));
        dialogs = fake.get();
        view.setFileDialogs(std::move(fake));
    }
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
    TestData data;
    myQQuickView view;
    FakeFileDialogs *dialogs = nullptr;
};
} // namespace

class TestMacroFiles : public QObject
{
    Q_OBJECT

private slots:
    void createSaveLoad();
    void rename();
    void renameThatCannotHappen_data();
    void renameThatCannotHappen();
    void deleteRestoresBoundButtons();
    void unsafeNamesAreRefused();
    void importAndExport();
    void loadStaysBounded_data();
    void loadStaysBounded();
};

void TestMacroFiles::createSaveLoad()
{
    Bridge b;
    QVERIFY(QDir(b.data.path("modules/macro")).removeRecursively()); // made on the first create
    QCOMPARE(b.view.createMacroIni(QStringLiteral("Macro_0"), 0), QVariant(true));
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("Macro_0")), QStringList{"1"});
    for (auto [key, value] : {std::pair{"config/index", "0"}, {"config/total", "0"}, {"config/repeat", "1"},
                              {"config/did", "-1"}})
        QCOMPARE(b.config("Macro_0", key), QLatin1String(value));
    // Creating over an existing file keeps its other keys.
    b.data.write(macroFile("Old"), "[config]\nnote=mine\ntotal=1\n[macro]\n0=\"1,A\"\n");
    QCOMPARE(b.view.createMacroIni(QStringLiteral("Old"), 3), QVariant(true));
    QCOMPARE(b.config("Old", "config/note"), QStringLiteral("mine"));
    QCOMPARE(b.config("Old", "config/index"), QStringLiteral("3"));
    QCOMPARE(b.config("Old", "config/total"), QStringLiteral("0"));

    // Every kind of entry comes back as it went in; a save replaces the list.
    const QStringList entries{"0,120", "1,A", "1,,", "2,;", "1,\\", "1,'", "2,=", QString::fromUtf8("1,\xe2\x96\xba"),
                              QString::fromUtf8("1,\xe5\x9b\x9e\xe8\xbd\xa6"), "1,Ctrl G", "3,MS-B5"};
    QCOMPARE(b.view.saveMacroIni(QStringLiteral("Old"), entries + entries, 5), QVariant(true));
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("Old")), entries + entries + QStringList{"5"});
    QCOMPARE(b.view.saveMacroIni(QStringLiteral("Old"), {"3,MS-L", "4,MS-L"}, 2), QVariant(true));
    QSettings file(b.data.path(macroFile("Old")), QSettings::IniFormat);
    file.beginGroup("macro");
    QCOMPARE(file.childKeys(), (QStringList{"0", "1"}));
    QCOMPARE(b.config("Old", "config/total"), QStringLiteral("2"));
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("Old")), (QStringList{"3,MS-L", "4,MS-L", "2"}));
    // A missing file is neither saved to nor made; a delete says whether it deleted.
    QCOMPARE(b.view.saveMacroIni(QStringLiteral("Ghost"), {"1,A"}, 1), QVariant(false));
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("Ghost")), QStringList());
    QVERIFY(!QFile::exists(b.data.path(macroFile("Ghost"))));
    QCOMPARE(b.view.deleteMacroIni(QStringLiteral("Old")), QVariant(true));
    QVERIFY(!QFile::exists(b.data.path(macroFile("Old"))));
    QCOMPARE(b.view.deleteMacroIni(QStringLiteral("Old")), QVariant(false));
}

void TestMacroFiles::rename()
{
    for (const QString &newName : {QStringLiteral("New"), QString(64, 'n'), QStringLiteral("a..b"),
                                   QStringLiteral("My macro"), QStringLiteral("Échap ü")}) {
        Bridge b;
        b.view.createMacroIni(QStringLiteral("Old"), 0);
        b.view.saveMacroIni(QStringLiteral("Old"), {"1,A", "2,A"}, 3);
        const QByteArray bytes = b.data.read(macroFile("Old"));
        b.bind(0, 2, QStringLiteral("Old"));
        b.bind(5, 9, QStringLiteral("Old"));
        b.bind(6, 2, QStringLiteral("Old"));
        b.bind(1, 4, QStringLiteral("Other"));
        QCOMPARE(b.view.modifyMacroNameUpdateProfile(QStringLiteral("Old"), newName), QVariant(true));
        QVERIFY(!QFile::exists(b.data.path(macroFile("Old"))));
        QCOMPARE(b.data.read(macroFile(newName)), bytes);
        QCOMPARE(QStringList({b.boundName(0, 2), b.boundName(5, 9)}), QStringList({newName, newName}));
        // Profiles beyond the six the UI uses, and other macros, keep theirs.
        QCOMPARE(QStringList({b.boundName(6, 2), b.boundName(1, 4)}), QStringList({"Old", "Other"}));
    }
}

void TestMacroFiles::renameThatCannotHappen_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("name taken") << "A" << "B";
    QTest::newRow("profile 5 cannot be written") << "A" << "C";
    QTest::newRow("no such macro") << "Ghost" << "C";
}

void TestMacroFiles::renameThatCannotHappen()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    Bridge b;
    b.view.createMacroIni(QStringLiteral("A"), 0);
    b.view.createMacroIni(QStringLiteral("B"), 0);
    b.view.saveMacroIni(QStringLiteral("B"), {"1,B"}, 1);
    b.bind(2, 3, from);
    b.bind(4, 1, from);
    if (to == "C" && from == "A") {
        // Profile 5 becomes a link: readable, but never written through.
        const QString p5 = b.data.path("modules/setting/p5.bin");
        QVERIFY(QFile::rename(p5, p5 + ".real"));
        QVERIFY(QFile::link(p5 + ".real", p5));
    }
    const auto before = snapshot(b.data);
    QCOMPARE(b.view.modifyMacroNameUpdateProfile(from, to), QVariant(false));
    // A rename that cannot happen changes nothing, bindings included.
    QCOMPARE(b.boundName(2, 3), from);
    QCOMPARE(b.boundName(4, 1), from);
    QCOMPARE(snapshot(b.data), before);
}

void TestMacroFiles::deleteRestoresBoundButtons()
{
    Bridge b;
    const QSettings defaults(b.data.path("modules/setting/pD.bin"), QSettings::IniFormat);
    b.bind(2, 3, QStringLiteral("M"));
    b.bind(0, 5, QStringLiteral("M"));
    b.bind(0, 6, QStringLiteral("M"));
    b.bind(2, 4, QStringLiteral("N"));
    b.bind(7, 3, QStringLiteral("M"));
    // Kind 4 but its name entry points at another slot bound to N.
    SettingsFile *p1 = b.view.stores().profile(1);
    p1->setValue("mouseKeyMatrix/8", QVariantList{4, 0, 4, 0});
    p1->setValue("mouseMacroKey/4", "N");
    // A key binding that happens to carry a macro name entry.
    p1->setValue("mouseKeyMatrix/9", QVariantList{1, 4, 9, 0});
    p1->setValue("mouseMacroKey/9", "M");
    // A macro button whose name entry went missing is not an empty name's.
    b.view.stores().profile(3)->setValue("mouseKeyMatrix/3", QVariantList{4, 0, 3, 0});
    b.view.deleteMacroUpdateProfile(QString());
    QCOMPARE(b.matrix(3, 3), (QStringList{"4", "0", "3", "0"}));

    b.view.deleteMacroUpdateProfile(QStringLiteral("M"));
    const auto dflt = [&](int k) { return defaults.value(QStringLiteral("mouseKeyMatrix/%1").arg(k)).toStringList(); };
    QCOMPARE(b.matrix(2, 3), dflt(3));
    QCOMPARE(b.matrix(0, 5), dflt(5));
    QCOMPARE(b.matrix(0, 6), dflt(6));
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
    b.view.stores().profile(0)->sync();
    const auto before = snapshot(b.data);
    const QString names[] = {QString(), "../evil", "../../modules/setting/p1", "sub/evil", "..\\evil", "..",
                             ".hidden", "a\nb", "a\tb", "a\x7f" "b", " ", "   ", "a*b", "a?b", "a<b>", "a|b",
                             "a:b", "loaderkestle", QString(65, 'm'), QString(252, 'm'), QString(5000, 'm'),
                             "/tmp/evil", QString::fromUtf16(u"ev\0il", 5)};
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
        b.view.stores().profile(0)->sync();
        QVERIFY2(b.boundName(0, 2) == QStringLiteral("Safe") && b.dialogs->calls.isEmpty(), tag);
        QVERIFY2(snapshot(b.data) == before, tag);
        QVERIFY2(cap.lines().join('\n').contains(QStringLiteral("macro: refused name")), tag);
    }
}

void TestMacroFiles::importAndExport()
{
    Bridge b;
    const QByteArray mc = "; from elsewhere\r\n[config]\r\ntotal = 2\r\nrepeat=4\r\n[macro]\r\n0=\"1,A\"\r\n1=\"2,A\"\r\n";
    b.data.write("in.mc", mc);
    b.data.write("out.mc", QByteArray(5000, 'z'));
    b.data.write("keep.mc", "precious");
    b.dialogs->answers = {QString(), QString(), b.data.path("in.mc"), b.data.path("in.mc"), b.data.path("missing.mc"),
                          b.data.path("new.mc"), b.data.path("out.mc"), b.data.path(macroFile("Macro_3")),
                          "./modules/macro/../macro/Macro_3.bin", b.data.path("keep.mc")};
    // Cancelled dialogs: false, and nothing written. Both show the fixed texts.
    QCOMPARE(b.view.loadMacroFile(QStringLiteral("Macro_3")), false);
    b.view.createMacroIni(QStringLiteral("Mine"), 0);
    const QByteArray mine = b.data.read(macroFile("Mine"));
    auto before = snapshot(b.data);
    b.view.saveMacroFile(QStringLiteral("Mine"));
    QCOMPARE(snapshot(b.data), before);
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    QCOMPARE(b.dialogs->calls.size(), qsizetype(2));
    for (const auto &[call, kind, caption] : {std::tuple{b.dialogs->calls.at(0), "open", "Open File"},
                                              std::tuple{b.dialogs->calls.at(1), "save", "Save File"}}) {
        QCOMPARE(call.kind, QLatin1String(kind));
        QCOMPARE(call.caption, QLatin1String(caption));
        QCOMPARE(call.filter, QStringLiteral("Macro(*.mc)"));
        QCOMPARE(call.dir, desktop);
        QCOMPARE(call.parent, b.view.dialogParent());
    }
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
    // A missing macro exports nothing, keeping the target.
    b.view.saveMacroFile(QStringLiteral("Ghost"));
    QCOMPARE(b.data.read("keep.mc"), QByteArray("precious"));
}

void TestMacroFiles::loadStaysBounded_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("loaded");
    QStringList many{"1,A"};
    many << QStringList(MacroStore::kMaxEvents - 1, "0") << "1";
    QTest::newRow("absurd total") << QByteArray("[config]\ntotal=2000000000\nrepeat=1\n[macro]\n0=\"1,A\"\n") << many;
    QTest::newRow("negative total") << QByteArray("[config]\ntotal=-3\nrepeat=1\n") << QStringList{"1"};
    QTest::newRow("text total") << QByteArray("[config]\ntotal=lots\nrepeat=7\n[macro]\n0=\"1,A\"\n") << QStringList{"7"};
    QTest::newRow("missing entries read as 0")
        << QByteArray("[config]\ntotal=3\nrepeat=1\n[macro]\n1=\"2,B\"\n") << QStringList{"0", "2,B", "0", "1"};
    QTest::newRow("unquoted entry stays one")
        << QByteArray("[config]\ntotal=2\nrepeat=1\n[macro]\n0=1,A\n1=1,,\n") << QStringList{"1,A", "1,,", "1"};
    QTest::newRow("no config") << QByteArray("[macro]\n0=\"1,A\"\n") << QStringList{"0"};
    QTest::newRow("empty file") << QByteArray() << QStringList{"0"};
    QByteArray garbage;
    for (int i = 0; i < 8192; ++i)
        garbage.append(char((i * 131 + 7) & 0xFF));
    QTest::newRow("imported garbage") << garbage + "\n[config]\ntotal=99999999\n[macro\n0=\n" << QStringList();
}

void TestMacroFiles::loadStaysBounded()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, loaded);
    Bridge b;
    const QString name = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_');
    QElapsedTimer timer;
    timer.start();
    if (loaded.isEmpty()) {
        // Imported as it is; it loads within bounds and can be saved over.
        b.data.write("junk.mc", file);
        b.dialogs->answers = {b.data.path("junk.mc")};
        QCOMPARE(b.view.loadMacroFile(name), true);
        QCOMPARE(b.data.read(macroFile(name)), file);
        QVERIFY(b.view.loadMacroIni(name).size() <= MacroStore::kMaxEvents + 1);
        QCOMPARE(b.view.saveMacroIni(name, {"1,A"}, 1), QVariant(true));
        QCOMPARE(b.view.loadMacroIni(name).mid(0, 1), QStringList{"1,A"});
    } else {
        b.data.write(macroFile(name), file);
        QCOMPARE(b.view.loadMacroIni(name), loaded);
    }
    QVERIFY(timer.elapsed() < 5000);
}

QTEST_MAIN(TestMacroFiles)
#include "tst_macro_files.moc"
