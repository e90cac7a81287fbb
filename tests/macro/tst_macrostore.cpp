#include "FakeFileDialogs.h"
#include "app/myQQuickView.h"
#include "macro/MacroStore.h"
#include "testlib/TestData.h"

#include <QDirIterator>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

namespace {
QString macroFile(const QString &name) { return QStringLiteral("modules/macro/") + name + ".bin"; }

// Every file under the test root with its bytes.
QMap<QString, QByteArray> snapshot(const TestData &data)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(data.root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            files.insert(path, f.readAll());
    }
    return files;
}
} // namespace

class TestMacroStore : public QObject
{
    Q_OBJECT

    struct Bridge
    {
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
        myQQuickView view;
        FakeFileDialogs *dialogs = nullptr;
    };

private slots:
    void createThenLoad();
    void createKeepsOtherKeys();
    void createWithoutMacroFolder();
    void saveReplacesEventList();
    void eventEntriesRoundTrip_data();
    void eventEntriesRoundTrip();
    void saveWithoutFileCreatesNothing();
    void loadWithoutFileIsEmpty();
    void deleteRemovesFile();
    void renameMovesFileAndBindings_data();
    void renameMovesFileAndBindings();
    void renameOntoExistingFails_data();
    void renameOntoExistingFails();
    void renameWithoutFileChangesNothing();
    void deleteRestoresBoundButtons();
    void deleteWithoutDefaultRemovesBinding();
    void emptyNameUnbindsNothing();
    void unsafeNamesAreRefused_data();
    void unsafeNamesAreRefused();
    void importCopiesBytes();
    void importNeverReplacesMacro();
    void importDialogs();
    void exportCopiesAndReplaces();
    void exportOntoItsOwnFileKeepsIt();
    void exportOfMissingMacroKeepsTarget();
    void loadStaysBounded_data();
    void loadStaysBounded();
    void garbageImportKeepsWorking();
};

void TestMacroStore::createThenLoad()
{
    TestData data;
    Bridge b;
    QCOMPARE(b.view.createMacroIni(QStringLiteral("Macro_0"), 0), QVariant(true));
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("Macro_0")), QStringList{"1"});
    QSettings file(data.path(macroFile("Macro_0")), QSettings::IniFormat);
    QCOMPARE(file.value("config/index").toString(), QStringLiteral("0"));
    QCOMPARE(file.value("config/total").toString(), QStringLiteral("0"));
    QCOMPARE(file.value("config/repeat").toString(), QStringLiteral("1"));
    QCOMPARE(file.value("config/did").toString(), QStringLiteral("-1"));
}

void TestMacroStore::createKeepsOtherKeys()
{
    TestData data;
    data.write(macroFile("Old"), "[config]\nnote=mine\ntotal=1\n[macro]\n0=\"1,A\"\n");
    Bridge b;
    QCOMPARE(b.view.createMacroIni(QStringLiteral("Old"), 3), QVariant(true));
    QSettings file(data.path(macroFile("Old")), QSettings::IniFormat);
    QCOMPARE(file.value("config/note").toString(), QStringLiteral("mine"));
    QCOMPARE(file.value("config/index").toString(), QStringLiteral("3"));
    QCOMPARE(file.value("config/total").toString(), QStringLiteral("0"));
}

void TestMacroStore::createWithoutMacroFolder()
{
    TestData data;
    QVERIFY(QDir(data.path("modules/macro")).removeRecursively());
    Bridge b;
    QCOMPARE(b.view.createMacroIni(QStringLiteral("First"), 0), QVariant(true));
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("First")), QStringList{"1"});
}

void TestMacroStore::saveReplacesEventList()
{
    TestData data;
    Bridge b;
    b.view.createMacroIni(QStringLiteral("M"), 0);
    QCOMPARE(b.view.saveMacroIni(QStringLiteral("M"), {"1,A", "0,120", "2,A"}, 5), QVariant(true));
    QCOMPARE(b.view.saveMacroIni(QStringLiteral("M"), {"3,MS-L", "4,MS-L"}, 2), QVariant(true));

    QSettings file(data.path(macroFile("M")), QSettings::IniFormat);
    file.beginGroup("macro");
    QCOMPARE(file.childKeys(), (QStringList{"0", "1"}));
    file.endGroup();
    QCOMPARE(file.value("config/total").toString(), QStringLiteral("2"));
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("M")), (QStringList{"3,MS-L", "4,MS-L", "2"}));
}

void TestMacroStore::eventEntriesRoundTrip_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("delay") << "0,120";
    QTest::newRow("letter") << "1,A";
    QTest::newRow("comma key") << "1,,";
    QTest::newRow("semicolon key") << "2,;";
    QTest::newRow("backslash key") << "1,\\";
    QTest::newRow("quote key") << "1,'";
    QTest::newRow("equals key") << "2,=";
    QTest::newRow("arrow key") << QString::fromUtf8("1,\xe2\x96\xba");
    QTest::newRow("translated name") << QString::fromUtf8("1,\xe5\x9b\x9e\xe8\xbd\xa6");
    QTest::newRow("name with blank") << "1,Ctrl G";
    QTest::newRow("mouse button") << "3,MS-B5";
}

void TestMacroStore::eventEntriesRoundTrip()
{
    QFETCH(QString, entry);
    TestData data;
    Bridge b;
    b.view.createMacroIni(QStringLiteral("M"), 0);
    b.view.saveMacroIni(QStringLiteral("M"), {entry, entry}, 1);
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("M")), (QStringList{entry, entry, "1"}));
}

void TestMacroStore::saveWithoutFileCreatesNothing()
{
    TestData data;
    Bridge b;
    QCOMPARE(b.view.saveMacroIni(QStringLiteral("Ghost"), {"1,A"}, 1), QVariant(false));
    QVERIFY(!QFile::exists(data.path(macroFile("Ghost"))));
}

void TestMacroStore::loadWithoutFileIsEmpty()
{
    TestData data;
    Bridge b;
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("Ghost")), QStringList());
    QVERIFY(!QFile::exists(data.path(macroFile("Ghost"))));
}

void TestMacroStore::deleteRemovesFile()
{
    TestData data;
    Bridge b;
    b.view.createMacroIni(QStringLiteral("M"), 0);
    QCOMPARE(b.view.deleteMacroIni(QStringLiteral("M")), QVariant(true));
    QVERIFY(!QFile::exists(data.path(macroFile("M"))));
    QCOMPARE(b.view.deleteMacroIni(QStringLiteral("M")), QVariant(false));
}

void TestMacroStore::renameMovesFileAndBindings_data()
{
    QTest::addColumn<QString>("newName");
    QTest::newRow("plain") << "New";
    QTest::newRow("64 characters") << QString(64, QLatin1Char('n'));
    QTest::newRow("dots inside") << "a..b";
    QTest::newRow("blank inside") << "My macro";
    QTest::newRow("accents") << QStringLiteral("Échap ü");
}

void TestMacroStore::renameMovesFileAndBindings()
{
    QFETCH(QString, newName);
    TestData data;
    Bridge b;
    b.view.createMacroIni(QStringLiteral("Old"), 0);
    b.view.saveMacroIni(QStringLiteral("Old"), {"1,A", "2,A"}, 3);
    const QByteArray bytes = data.read(macroFile("Old"));
    b.bind(0, 2, QStringLiteral("Old"));
    b.bind(5, 9, QStringLiteral("Old"));
    b.bind(6, 2, QStringLiteral("Old"));
    b.bind(1, 4, QStringLiteral("Other"));

    QCOMPARE(b.view.modifyMacroNameUpdateProfile(QStringLiteral("Old"), newName), QVariant(true));

    QVERIFY(!QFile::exists(data.path(macroFile("Old"))));
    QCOMPARE(data.read(macroFile(newName)), bytes);
    QCOMPARE(b.boundName(0, 2), newName);
    QCOMPARE(b.boundName(5, 9), newName);
    // Profiles beyond the six the UI uses, and other macros, keep theirs.
    QCOMPARE(b.boundName(6, 2), QStringLiteral("Old"));
    QCOMPARE(b.boundName(1, 4), QStringLiteral("Other"));
}

void TestMacroStore::renameOntoExistingFails_data()
{
    QTest::addColumn<QString>("newName");
    QTest::addColumn<bool>("lockProfile");
    QTest::newRow("name taken") << "B" << false;
    QTest::newRow("profile 5 cannot be written") << "C" << true;
}

void TestMacroStore::renameOntoExistingFails()
{
    QFETCH(QString, newName);
    QFETCH(bool, lockProfile);
    TestData data;
    Bridge b;
    b.view.createMacroIni(QStringLiteral("A"), 0);
    b.view.createMacroIni(QStringLiteral("B"), 0);
    b.view.saveMacroIni(QStringLiteral("B"), {"1,B"}, 1);
    const QByteArray a = data.read(macroFile("A"));
    const QByteArray bBytes = data.read(macroFile("B"));
    b.bind(2, 3, QStringLiteral("A"));
    b.bind(4, 1, QStringLiteral("A"));
    if (lockProfile) {
        // Profile 5 becomes a link: readable, but never written through.
        const QString p5 = data.path("modules/setting/p5.bin");
        QVERIFY(QFile::rename(p5, p5 + ".real"));
        QVERIFY(QFile::link(p5 + ".real", p5));
    }

    QCOMPARE(b.view.modifyMacroNameUpdateProfile(QStringLiteral("A"), newName), QVariant(false));
    QVERIFY(!QFile::exists(data.path(macroFile("C"))));
    QCOMPARE(b.boundName(4, 1), QStringLiteral("A"));

    // A rename that cannot happen changes nothing, bindings included.
    QCOMPARE(b.boundName(2, 3), QStringLiteral("A"));
    QCOMPARE(data.read(macroFile("A")), a);
    QCOMPARE(data.read(macroFile("B")), bBytes);
}

void TestMacroStore::renameWithoutFileChangesNothing()
{
    TestData data;
    Bridge b;
    b.bind(0, 1, QStringLiteral("Ghost"));
    QCOMPARE(b.view.modifyMacroNameUpdateProfile(QStringLiteral("Ghost"), QStringLiteral("New")),
             QVariant(false));
    QCOMPARE(b.boundName(0, 1), QStringLiteral("Ghost"));
    QVERIFY(!QFile::exists(data.path(macroFile("New"))));
}

void TestMacroStore::deleteRestoresBoundButtons()
{
    TestData data;
    Bridge b;
    const QSettings defaults(data.path("modules/setting/pD.bin"), QSettings::IniFormat);
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

    b.view.deleteMacroUpdateProfile(QStringLiteral("M"));

    const auto dflt = [&](int k) {
        return defaults.value(QStringLiteral("mouseKeyMatrix/%1").arg(k)).toStringList();
    };
    QCOMPARE(b.matrix(2, 3), dflt(3));
    QCOMPARE(b.matrix(0, 5), dflt(5));
    QCOMPARE(b.matrix(0, 6), dflt(6));
    QCOMPARE(b.matrix(2, 4), (QStringList{"4", "0", "4", "0"}));
    QCOMPARE(b.matrix(7, 3), (QStringList{"4", "0", "3", "0"}));
    QCOMPARE(b.matrix(1, 8), (QStringList{"4", "0", "4", "0"}));
    QCOMPARE(b.matrix(1, 9), (QStringList{"1", "4", "9", "0"}));
    // The name entry itself stays.
    QCOMPARE(b.boundName(2, 3), QStringLiteral("M"));
}

void TestMacroStore::deleteWithoutDefaultRemovesBinding()
{
    TestData data;
    Bridge b;
    b.bind(0, 3, QStringLiteral("M"));
    b.view.stores().defaults().remove("mouseKeyMatrix/3");
    DebugCapture cap;
    b.view.deleteMacroUpdateProfile(QStringLiteral("M"));
    QVERIFY(!b.view.stores().profile(0)->contains("mouseKeyMatrix/3"));
    QVERIFY(cap.contains("macro: no default for mouseKeyMatrix/3 - binding removed"));
}

void TestMacroStore::emptyNameUnbindsNothing()
{
    TestData data;
    Bridge b;
    // A macro button whose name entry went missing.
    b.view.stores().profile(0)->setValue("mouseKeyMatrix/3", QVariantList{4, 0, 3, 0});
    b.view.deleteMacroUpdateProfile(QString());
    QCOMPARE(b.matrix(0, 3), (QStringList{"4", "0", "3", "0"}));
}

void TestMacroStore::unsafeNamesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("parent folder") << "../evil";
    QTest::newRow("deeper") << "../../modules/setting/p1";
    QTest::newRow("subfolder") << "sub/evil";
    QTest::newRow("backslash") << "..\\evil";
    QTest::newRow("dot dot") << "..";
    QTest::newRow("leading dot") << ".hidden";
    QTest::newRow("newline") << "a\nb";
    QTest::newRow("tab") << "a\tb";
    QTest::newRow("delete") << "a\x7f" "b";
    QTest::newRow("blank") << " ";
    QTest::newRow("blanks") << "   ";
    QTest::newRow("star") << "a*b";
    QTest::newRow("question mark") << "a?b";
    QTest::newRow("angle brackets") << "a<b>";
    QTest::newRow("pipe") << "a|b";
    QTest::newRow("colon") << "a:b";
    QTest::newRow("padding word") << "loaderkestle";
    QTest::newRow("65 characters") << QString(65, QLatin1Char('m'));
    QTest::newRow("252 characters") << QString(252, QLatin1Char('m'));
    QTest::newRow("5000 characters") << QString(5000, QLatin1Char('m'));
    QTest::newRow("absolute") << "/tmp/evil";
    QTest::newRow("nul") << QString::fromUtf16(u"ev\0il", 5);
}

void TestMacroStore::unsafeNamesAreRefused()
{
    QFETCH(QString, name);
    TestData data;
    // Canaries where a leaking name would land.
    data.write("modules/evil.bin", "canary");
    data.write("modules/macro/Safe.bin", "[config]\ntotal=0\nrepeat=1\n");
    data.write("in.mc", "[config]\ntotal=0\n");
    Bridge b({data.path("in.mc"), data.path("out.mc")});
    b.bind(0, 2, QStringLiteral("Safe"));
    b.view.stores().profile(0)->sync();
    const auto before = snapshot(data);
    DebugCapture cap;

    QCOMPARE(b.view.createMacroIni(name, 0), QVariant(false));
    QCOMPARE(b.view.saveMacroIni(name, {"1,A"}, 1), QVariant(false));
    QCOMPARE(b.view.loadMacroIni(name), QStringList());
    QCOMPARE(b.view.deleteMacroIni(name), QVariant(false));
    QCOMPARE(b.view.modifyMacroNameUpdateProfile(QStringLiteral("Safe"), name), QVariant(false));
    QCOMPARE(b.view.modifyMacroNameUpdateProfile(name, QStringLiteral("Other")), QVariant(false));
    QCOMPARE(b.view.loadMacroFile(name), false);
    b.view.saveMacroFile(name);
    b.view.stores().profile(0)->sync();

    QCOMPARE(b.boundName(0, 2), QStringLiteral("Safe"));
    QCOMPARE(b.dialogs->calls.size(), qsizetype(0));
    QCOMPARE(snapshot(data), before);
    QVERIFY(cap.lines().join('\n').contains(QStringLiteral("macro: refused name")));
}

void TestMacroStore::importCopiesBytes()
{
    TestData data;
    const QByteArray mc = "; from elsewhere\r\n[config]\r\ntotal = 2\r\nrepeat=4\r\n[macro]\r\n0=\"1,A\"\r\n1=\"2,A\"\r\n";
    data.write("in.mc", mc);
    Bridge b({data.path("in.mc")});
    QCOMPARE(b.view.loadMacroFile(QStringLiteral("Macro_3")), true);
    QCOMPARE(data.read(macroFile("Macro_3")), mc);
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("Macro_3")), (QStringList{"1,A", "2,A", "4"}));
}

void TestMacroStore::importNeverReplacesMacro()
{
    TestData data;
    data.write("in.mc", "[config]\ntotal=0\nrepeat=9\n");
    Bridge b({data.path("in.mc"), data.path("missing.mc")});
    b.view.createMacroIni(QStringLiteral("Mine"), 0);
    const QByteArray mine = data.read(macroFile("Mine"));
    DebugCapture cap;
    // A file was chosen both times: true, and the existing macro stays.
    QCOMPARE(b.view.loadMacroFile(QStringLiteral("Mine")), true);
    QCOMPARE(data.read(macroFile("Mine")), mine);
    QVERIFY(cap.lines().join('\n').contains(QStringLiteral("target exists")));
    QCOMPARE(b.view.loadMacroFile(QStringLiteral("Fresh")), true);
    QVERIFY(!QFile::exists(data.path(macroFile("Fresh"))));
}

void TestMacroStore::importDialogs()
{
    TestData data;
    Bridge b({QString(), QString()});
    QCOMPARE(b.view.loadMacroFile(QStringLiteral("Macro_1")), false);
    b.view.createMacroIni(QStringLiteral("Macro_1"), 0);
    const auto before = snapshot(data);
    b.view.saveMacroFile(QStringLiteral("Macro_1"));
    QCOMPARE(snapshot(data), before);

    QCOMPARE(b.dialogs->calls.size(), qsizetype(2));
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const auto open = b.dialogs->calls.at(0);
    QCOMPARE(open.kind, QStringLiteral("open"));
    QCOMPARE(open.caption, QStringLiteral("Open File"));
    QCOMPARE(open.filter, QStringLiteral("Macro(*.mc)"));
    QCOMPARE(open.dir, desktop);
    QCOMPARE(open.parent, &b.view);
    const auto save = b.dialogs->calls.at(1);
    QCOMPARE(save.kind, QStringLiteral("save"));
    QCOMPARE(save.caption, QStringLiteral("Save File"));
    QCOMPARE(save.filter, QStringLiteral("Macro(*.mc)"));
    QCOMPARE(save.dir, desktop);
}

void TestMacroStore::exportCopiesAndReplaces()
{
    TestData data;
    data.write("out.mc", QByteArray(5000, 'z'));
    Bridge b({data.path("new.mc"), data.path("out.mc")});
    b.view.createMacroIni(QStringLiteral("M"), 0);
    b.view.saveMacroIni(QStringLiteral("M"), {"1,A"}, 2);
    b.view.saveMacroFile(QStringLiteral("M"));
    b.view.saveMacroFile(QStringLiteral("M"));
    QCOMPARE(data.read("new.mc"), data.read(macroFile("M")));
    QCOMPARE(data.read("out.mc"), data.read(macroFile("M")));
}

void TestMacroStore::exportOntoItsOwnFileKeepsIt()
{
    TestData data;
    Bridge b({data.path(macroFile("M")), "./modules/macro/../macro/M.bin"});
    b.view.createMacroIni(QStringLiteral("M"), 0);
    b.view.saveMacroIni(QStringLiteral("M"), {"1,A", "2,A"}, 2);
    const QByteArray bytes = data.read(macroFile("M"));
    b.view.saveMacroFile(QStringLiteral("M"));
    b.view.saveMacroFile(QStringLiteral("M"));
    QCOMPARE(data.read(macroFile("M")), bytes);
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("M")), (QStringList{"1,A", "2,A", "2"}));
}

void TestMacroStore::exportOfMissingMacroKeepsTarget()
{
    TestData data;
    data.write("keep.mc", "precious");
    Bridge b({data.path("keep.mc")});
    b.view.saveMacroFile(QStringLiteral("Ghost"));
    QCOMPARE(data.read("keep.mc"), QByteArray("precious"));
}

void TestMacroStore::loadStaysBounded_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("loaded");
    const QStringList many = [] {
        QStringList l;
        l << "1,A";
        for (int i = 1; i < MacroStore::kMaxEvents; ++i)
            l << "0";
        return l << "1";
    }();
    QTest::newRow("absurd total") << QByteArray("[config]\ntotal=2000000000\nrepeat=1\n[macro]\n0=\"1,A\"\n")
                                  << many;
    QTest::newRow("negative total") << QByteArray("[config]\ntotal=-3\nrepeat=1\n")
                                    << QStringList{"1"};
    QTest::newRow("text total") << QByteArray("[config]\ntotal=lots\nrepeat=7\n[macro]\n0=\"1,A\"\n")
                                << QStringList{"7"};
    QTest::newRow("missing entries read as 0")
        << QByteArray("[config]\ntotal=3\nrepeat=1\n[macro]\n1=\"2,B\"\n")
        << QStringList{"0", "2,B", "0", "1"};
    QTest::newRow("unquoted entry stays one")
        << QByteArray("[config]\ntotal=2\nrepeat=1\n[macro]\n0=1,A\n1=1,,\n")
        << QStringList{"1,A", "1,,", "1"};
    QTest::newRow("no config") << QByteArray("[macro]\n0=\"1,A\"\n") << QStringList{"0"};
    QTest::newRow("empty file") << QByteArray() << QStringList{"0"};
}

void TestMacroStore::loadStaysBounded()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, loaded);
    TestData data;
    const QString name = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_');
    data.write(macroFile(name), file);
    Bridge b;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(b.view.loadMacroIni(name), loaded);
    QVERIFY(timer.elapsed() < 5000);
}

void TestMacroStore::garbageImportKeepsWorking()
{
    TestData data;
    QByteArray garbage;
    for (int i = 0; i < 8192; ++i)
        garbage.append(char((i * 131 + 7) & 0xFF));
    garbage.append("\n[config]\ntotal=99999999\n[macro\n0=\n");
    data.write("junk.mc", garbage);
    Bridge b({data.path("junk.mc")});
    QCOMPARE(b.view.loadMacroFile(QStringLiteral("Junk")), true);
    QCOMPARE(data.read(macroFile("Junk")), garbage);
    QVERIFY(b.view.loadMacroIni(QStringLiteral("Junk")).size() <= MacroStore::kMaxEvents + 1);
    QCOMPARE(b.view.saveMacroIni(QStringLiteral("Junk"), {"1,A"}, 1), QVariant(true));
    QCOMPARE(b.view.loadMacroIni(QStringLiteral("Junk")).mid(0, 1), QStringList{"1,A"});
}

QTEST_MAIN(TestMacroStore)
#include "tst_macrostore.moc"
