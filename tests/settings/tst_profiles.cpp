#include "FakeFileDialogs.h"
#include "app/myQQuickView.h"
#include "settings/SettingsStores.h"
#include "testlib/TestData.h"

#include <QDir>
#include <QDirIterator>
#include <QMetaMethod>
#include <QStandardPaths>
#include <QtTest>

namespace {
QString profileFile(int n) { return QStringLiteral("modules/setting/p%1.bin").arg(n + 1); }

// Every file of the settings folder with its bytes, to prove that an
// ignored operation touched nothing.
QMap<QString, QByteArray> snapshot(const TestData &data)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(data.path(QStringLiteral("modules/setting")), QDir::Files);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            files.insert(QFileInfo(path).fileName(), f.readAll());
    }
    return files;
}
} // namespace

class TestProfiles : public QObject
{
    Q_OBJECT

    // The view under test with dialogs a test can answer.
    struct Bridge
    {
        explicit Bridge(QStringList answers = {})
        {
            auto fake = std::make_unique<FakeFileDialogs>(std::move(answers));
            dialogs = fake.get();
            view.setFileDialogs(std::move(fake));
        }
        myQQuickView view;
        FakeFileDialogs *dialogs = nullptr;
    };

private slots:
    void resetProfile_data();
    void resetProfile();
    void resetKeepsProfileWhenDefaultsUnreadable();
    void copyProfile_data();
    void copyProfile();
    void copyProfileOntoItselfKeepsIt();
    void outOfRangeProfilesAreIgnored_data();
    void outOfRangeProfilesAreIgnored();
    void importThenExportRoundTrips();
    void importGarbageKeepsProgramWorking();
    void importUnreadableSourceKeepsProfile();
    void importOwnFileKeepsIt();
    void cancelledDialogsChangeNothing();
    void dialogsShowCaptionFilterAndDesktop_data();
    void dialogsShowCaptionFilterAndDesktop();
    void exportReplacesExistingFile();
    void exportOntoItsOwnFileKeepsIt();
    void exportCarriesUnsavedValues();
    void setCurrentProfileSelectsStore();
};

void TestProfiles::resetProfile_data()
{
    QTest::addColumn<int>("profile");
    QTest::newRow("first") << 0;
    QTest::newRow("fourth") << 3;
    QTest::newRow("last") << 9;
}

void TestProfiles::resetProfile()
{
    QFETCH(int, profile);
    TestData data;
    QVERIFY(data.isValid());
    {
        Bridge b;
        b.view.setCurrentProfile(profile);
        b.view.setData(QStringLiteral("mouse/reportRate"), 0);
        b.view.setData(QStringLiteral("extra/written"), 7);
        b.view.stores().profile(profile)->sync();
        // Left unsaved on purpose: it must not come back into the reset file.
        b.view.setData(QStringLiteral("extra/pending"), 1);
        QVERIFY(data.read(profileFile(profile)) != data.read(QStringLiteral("modules/setting/pD.bin")));

        b.view.resetProfile(profile);

        QCOMPARE(data.read(profileFile(profile)), data.read(QStringLiteral("modules/setting/pD.bin")));
        QCOMPARE(b.view.getData(QStringLiteral("mouse/reportRate"), false),
                 b.view.getData(QStringLiteral("mouse/reportRate"), true));
        QVERIFY(!b.view.getData(QStringLiteral("extra/written"), false).isValid());
        QVERIFY(!b.view.getData(QStringLiteral("extra/pending"), false).isValid());
    }
    // Dropping the bridge flushes its stores; the reset file stays the defaults.
    QCOMPARE(data.read(profileFile(profile)), data.read(QStringLiteral("modules/setting/pD.bin")));
}

void TestProfiles::resetKeepsProfileWhenDefaultsUnreadable()
{
    TestData data;
    DebugCapture cap;
    Bridge b;
    b.view.setData(QStringLiteral("extra/kept"), 5);
    QVERIFY(QFile::remove(data.path(QStringLiteral("modules/setting/pD.bin"))));

    b.view.resetProfile(0);

    QCOMPARE(b.view.getData(QStringLiteral("extra/kept"), false), QVariant(5));
    QVERIFY(data.read(profileFile(0)).contains("kept=5"));
    QVERIFY(data.read(profileFile(0)).contains("reportRate"));
    QVERIFY(cap.lines().join('\n').contains(QStringLiteral("config: profile 0 kept")));
}

void TestProfiles::copyProfile_data()
{
    QTest::addColumn<int>("dest");
    QTest::addColumn<int>("src");
    QTest::newRow("second onto first") << 0 << 1;
    QTest::newRow("tenth onto third") << 2 << 9;
    QTest::newRow("first onto sixth") << 5 << 0;
}

void TestProfiles::copyProfile()
{
    QFETCH(int, dest);
    QFETCH(int, src);
    TestData data;
    Bridge b;
    b.view.setCurrentProfile(src);
    b.view.setData(QStringLiteral("extra/source"), src + 100);
    b.view.setCurrentProfile(dest);
    b.view.setData(QStringLiteral("extra/dest"), 1);

    b.view.copyProfile(dest, src);

    // The source's unsaved value travels with the copy.
    QCOMPARE(data.read(profileFile(dest)), data.read(profileFile(src)));
    QVERIFY(data.read(profileFile(dest)).contains(QByteArray::number(src + 100)));
    QCOMPARE(b.view.getData(QStringLiteral("extra/source"), false), QVariant(src + 100));
    QVERIFY(!b.view.getData(QStringLiteral("extra/dest"), false).isValid());
}

void TestProfiles::copyProfileOntoItselfKeepsIt()
{
    TestData data;
    Bridge b;
    b.view.setCurrentProfile(2);
    b.view.setData(QStringLiteral("extra/mine"), 3);
    b.view.stores().profile(2)->sync();
    const QByteArray before = data.read(profileFile(2));

    b.view.copyProfile(2, 2);

    QCOMPARE(data.read(profileFile(2)), before);
    QCOMPARE(b.view.getData(QStringLiteral("extra/mine"), false), QVariant(3));
    QVERIFY(!b.view.getData(QStringLiteral("mouse/reportRate"), false).isNull());
}

void TestProfiles::outOfRangeProfilesAreIgnored_data()
{
    QTest::addColumn<int>("profile");
    QTest::newRow("-1") << -1;
    QTest::newRow("10") << 10;
    QTest::newRow("huge") << 1000000;
    QTest::newRow("most negative") << std::numeric_limits<int>::min();
}

void TestProfiles::outOfRangeProfilesAreIgnored()
{
    QFETCH(int, profile);
    TestData data;
    const QString pf = data.path(QStringLiteral("in.pf"));
    data.write(QStringLiteral("in.pf"), "[mouse]\nreportRate=1\n");
    DebugCapture cap;
    Bridge b({pf, pf, pf, pf});
    b.view.setCurrentProfile(1);
    const auto before = snapshot(data);

    b.view.setCurrentProfile(profile);
    b.view.resetProfile(profile);
    b.view.copyProfile(profile, 0);
    b.view.copyProfile(0, profile);
    QCOMPARE(b.view.loadProfile(profile), false);
    b.view.saveProfile(profile);

    QCOMPARE(b.view.currentProfile(), 1);
    QCOMPARE(b.dialogs->calls.size(), 0);
    QCOMPARE(snapshot(data), before);
    QVERIFY(cap.contains(QStringLiteral("config: no profile %1 - ignored").arg(profile)));
}

void TestProfiles::importThenExportRoundTrips()
{
    TestData data;
    // Not what the settings facility would write: a byte copy keeps it so.
    const QByteArray pf = "; exported\r\n[mouse]\r\nreportRate = 2\r\nlightValue=3, 1, 4\r\n\r\n"
                          "[extra]\r\nname=\"caf\xc3\xa9, ok\"\r\n";
    data.write(QStringLiteral("in.pf"), pf);
    Bridge b({data.path(QStringLiteral("in.pf")), data.path(QStringLiteral("out.pf"))});

    QCOMPARE(b.view.loadProfile(4), true);
    QCOMPARE(data.read(profileFile(4)), pf);
    b.view.setCurrentProfile(4);
    QCOMPARE(b.view.getData(QStringLiteral("mouse/reportRate"), false), QVariant(2));
    QCOMPARE(b.view.getDataList(QStringLiteral("mouse/lightValue"), false),
             (QVariantList{3, 1, 4}));

    b.view.saveProfile(4);
    QCOMPARE(data.read(QStringLiteral("out.pf")), pf);
}

void TestProfiles::importGarbageKeepsProgramWorking()
{
    TestData data;
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919) & 0xFF));
    garbage.append("\n[mouse\nreportRate\n=\n\\\n\"");
    data.write(QStringLiteral("garbage.pf"), garbage);
    Bridge b({data.path(QStringLiteral("garbage.pf"))});

    QCOMPARE(b.view.loadProfile(0), true);
    QCOMPARE(data.read(profileFile(0)), garbage);

    b.view.getData(QStringLiteral("mouse/reportRate"), false);
    QCOMPARE(b.view.getDataList(QStringLiteral("mouse/dpiValueArray"), false), QVariantList());
    b.view.setData(QStringLiteral("mouse/reportRate"), 1);
    QCOMPARE(b.view.getData(QStringLiteral("mouse/reportRate"), false), QVariant(1));
    b.view.resetProfile(0);
    QCOMPARE(data.read(profileFile(0)), data.read(QStringLiteral("modules/setting/pD.bin")));
}

void TestProfiles::importUnreadableSourceKeepsProfile()
{
    TestData data;
    DebugCapture cap;
    Bridge b({data.path(QStringLiteral("missing.pf")), data.path(QStringLiteral("modules"))});
    b.view.setData(QStringLiteral("extra/kept"), 9);
    b.view.stores().profile(0)->sync();
    const QByteArray before = data.read(profileFile(0));

    // Nothing was loaded, so the page hears false; the profile stays whole.
    QCOMPARE(b.view.loadProfile(0), false);
    QCOMPARE(b.view.loadProfile(0), false);

    QCOMPARE(data.read(profileFile(0)), before);
    QCOMPARE(b.view.getData(QStringLiteral("extra/kept"), false), QVariant(9));
    QVERIFY(cap.lines().join('\n').contains(QStringLiteral("source cannot be read")));
}

void TestProfiles::importOwnFileKeepsIt()
{
    TestData data;
    Bridge b({data.path(profileFile(3))});
    const QByteArray before = data.read(profileFile(3));
    QCOMPARE(b.view.loadProfile(3), true);
    QCOMPARE(data.read(profileFile(3)), before);
}

void TestProfiles::cancelledDialogsChangeNothing()
{
    TestData data;
    Bridge b({QString(), QString()});
    const auto before = snapshot(data);
    QCOMPARE(b.view.loadProfile(0), false);
    b.view.saveProfile(0);
    QCOMPARE(b.dialogs->calls.size(), 2);
    QCOMPARE(snapshot(data), before);
}

void TestProfiles::dialogsShowCaptionFilterAndDesktop_data()
{
    QTest::addColumn<bool>("import");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::newRow("import") << true << "open" << "Open File";
    QTest::newRow("export") << false << "save" << "Save File";
}

void TestProfiles::dialogsShowCaptionFilterAndDesktop()
{
    QFETCH(bool, import);
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    TestData data;
    Bridge b;
    if (import)
        b.view.loadProfile(2);
    else
        b.view.saveProfile(2);
    QCOMPARE(b.dialogs->calls.size(), 1);
    const auto call = b.dialogs->calls.first();
    QCOMPARE(call.kind, kind);
    QCOMPARE(call.parent, &b.view);
    QCOMPARE(call.caption, caption);
    QCOMPARE(call.filter, QStringLiteral("Profile(*.pf)"));
    QCOMPARE(call.dir, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

void TestProfiles::exportReplacesExistingFile()
{
    TestData data;
    data.write(QStringLiteral("old.pf"), QByteArray(100000, 'x'));
    Bridge b({data.path(QStringLiteral("old.pf"))});
    b.view.saveProfile(1);
    QCOMPARE(data.read(QStringLiteral("old.pf")), data.read(profileFile(1)));
    // No leftovers of the write beside the target.
    QCOMPARE(QDir(data.root()).entryList(QDir::Files), QStringList{QStringLiteral("old.pf")});
}

void TestProfiles::exportOntoItsOwnFileKeepsIt()
{
    TestData data;
    Bridge b({data.path(profileFile(0)), QStringLiteral("./modules/setting/../setting/p1.bin")});
    const QByteArray before = data.read(profileFile(0));
    b.view.saveProfile(0);
    QCOMPARE(data.read(profileFile(0)), before);
    b.view.saveProfile(0);
    QCOMPARE(data.read(profileFile(0)), before);
    QVERIFY(!b.view.getData(QStringLiteral("mouse/reportRate"), false).isNull());
}

void TestProfiles::exportCarriesUnsavedValues()
{
    TestData data;
    Bridge b({data.path(QStringLiteral("out.pf"))});
    b.view.setData(QStringLiteral("mouse/scrollRate"), 1000);
    b.view.saveProfile(0);
    QVERIFY(data.read(QStringLiteral("out.pf")).contains("scrollRate=1000"));
}

void TestProfiles::setCurrentProfileSelectsStore()
{
    TestData data;
    {
        Bridge b;
        QCOMPARE(b.view.currentProfile(), 0);
        b.view.setCurrentProfile(5);
        QCOMPARE(b.view.currentProfile(), 5);
        b.view.setData(QStringLiteral("extra/sixth"), 6);
        // The user's stored choice is the UI's business, not this call's.
        QCOMPARE(b.view.getGlobalData(QStringLiteral("mouse/profileNo")), QVariant(0));
    }
    QVERIFY(data.read(profileFile(5)).contains("sixth=6"));
    QVERIFY(!data.read(profileFile(0)).contains("sixth"));
}

QTEST_MAIN(TestProfiles)
#include "tst_profiles.moc"
