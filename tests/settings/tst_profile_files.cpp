// The ten profile files through the bridge: reset, copy, import, export,
// the switch, and what of it reaches the mouse.
#include "app/myQQuickView.h"
#include "device/DeviceRig.h"
#include "testlib/FakeFileDialogs.h"
#include "testlib/TestData.h"

#include <QStandardPaths>
#include <QtTest>

namespace {
QString profileFile(int n) { return QStringLiteral("modules/setting/p%1.bin").arg(n + 1); }

using Bridge = DialogBridge;

// The reset is the settings store test's; the bridge's reset slot shows in importAndExport.
const struct { const char *tag; int dest, src; } kCopy[] = {{"second onto first", 0, 1}, {"onto itself keeps it", 2, 2}};
// A "560" device keeps four profiles: the others live on the computer only,
// and nothing of them reaches the device (sent 0).
const struct { const char *tag; bool family560, isEncode; int profile; quint8 sent; } kSwitch[] = {
    {"553, first", false, false, 0, 1}, {"560, fifth: computer only", true, false, 4, 0}, {"560 scrambled, third", true, true, 2, 3}};
} // namespace

class TestProfileFiles : public QObject
{
    Q_OBJECT
private slots:
    void copy_data() { addRows(kCopy); }
    void copy();
    void refusedOperationsTouchNothing_data();
    void refusedOperationsTouchNothing();
    void importAndExport();
    void switchReachesTheDevice_data() { addRows(kSwitch); }
    void switchReachesTheDevice();
};

void TestProfileFiles::copy()
{
    ROW(kCopy);
    TestData data;
    {
        Bridge b;
        b.view.setCurrentProfile(r.src);
        b.view.setData("extra/source", r.src + 100);
        b.view.setCurrentProfile(r.dest);
        b.view.setData("mouse/reportRate", 0);
        b.view.setData("extra/dest", 7);
        const QByteArray before = data.read(profileFile(r.dest));
        b.view.copyProfile(r.dest, r.src);
        if (r.src == r.dest) {
            QCOMPARE(data.read(profileFile(r.dest)), before);
            QCOMPARE(b.view.getData("extra/dest", false), QVariant(7));
            return;
        }
        QVERIFY(before != data.read(profileFile(r.src)));
        QCOMPARE(data.read(profileFile(r.dest)), data.read(profileFile(r.src)));
        QVERIFY(!b.view.getData("extra/dest", false).isValid());
        QCOMPARE(b.view.getData("extra/source", false), QVariant(r.src + 100));
        // The user's stored choice is the UI's business, not the switch's.
        QCOMPARE(b.view.getGlobalData("mouse/profileNo"), QVariant(0));
    }
    // Dropping the bridge flushes its stores; the new file stays as made.
    QCOMPARE(data.read(profileFile(r.dest)), data.read(profileFile(r.src)));
}

void TestProfileFiles::refusedOperationsTouchNothing_data()
{
    QTest::addColumn<int>("profile");
    for (int p : {-1, 10})
        QTest::addRow("profile %d", p) << p;
}

void TestProfileFiles::refusedOperationsTouchNothing()
{
    QFETCH(int, profile);
    TestData data;
    const QString pf = data.path("in.pf");
    data.write("in.pf", "[mouse]\nreportRate=1\n");
    DebugCapture cap;
    Bridge b({pf, pf});
    b.view.setCurrentProfile(1);
    const auto before = data.snapshot("modules/setting");
    b.view.setCurrentProfile(profile);
    b.view.resetProfile(profile);
    b.view.copyProfile(profile, 0);
    b.view.copyProfile(0, profile);
    QCOMPARE(b.view.loadProfile(profile), false);
    b.view.saveProfile(profile);
    QCOMPARE(b.view.currentProfile(), 1);
    QVERIFY(b.dialogs->calls.isEmpty());
    QCOMPARE(data.snapshot("modules/setting"), before);
    QVERIFY(cap.contains(QStringLiteral("config: no profile %1 - ignored").arg(profile)));
}

void TestProfileFiles::importAndExport()
{
    TestData data;
    DebugCapture cap;
    // Not what the settings facility would write: a byte copy keeps it so.
    const QByteArray pf = "; exported\r\n[mouse]\r\nreportRate = 2\r\nlightValue=3, 1, 4\r\n\r\n"
                          "[extra]\r\nname=\"caf\xc3\xa9, ok\"\r\n";
    data.write("in.pf", pf);
    data.write("garbage.pf", QByteArray("\xff\xfe\0\x01[[=\n[mouse\nreportRate\n=\n\\\n\"", 23));
    Bridge b({data.path("in.pf"), data.path("out.pf"), data.path("modules"),
              data.path(profileFile(3)), data.path("garbage.pf")});
    QCOMPARE(b.view.loadProfile(4), true);
    QCOMPARE(data.read(profileFile(4)), pf);
    b.view.setCurrentProfile(4);
    QCOMPARE(b.view.getDataList("mouse/lightValue", false), (QVariantList{3, 1, 4}));
    b.view.saveProfile(4);
    QCOMPARE(data.read("out.pf"), pf);
    // An unreadable source: the page hears false, the profile stays whole.
    const QByteArray p5 = data.read(profileFile(4));
    QCOMPARE(b.view.loadProfile(4), false); // a folder
    QCOMPARE(data.read(profileFile(4)), p5);
    QVERIFY(cap.lines().join('\n').contains("source cannot be read"));
    // A profile's own file onto itself keeps it.
    const QByteArray p4 = data.read(profileFile(3));
    QCOMPARE(b.view.loadProfile(3), true);
    QCOMPARE(data.read(profileFile(3)), p4);
    QCOMPARE(QDir(data.root()).entryList(QDir::Files), (QStringList{"garbage.pf", "in.pf", "out.pf"}));
    // Garbage comes in as bytes and the program keeps working on it.
    QCOMPARE(b.view.loadProfile(0), true);
    QCOMPARE(data.read(profileFile(0)), data.read("garbage.pf"));
    QCOMPARE(b.view.getDataList("mouse/dpiValueArray", false), QVariantList());
    b.view.setData("mouse/reportRate", 1);
    QCOMPARE(b.view.getData("mouse/reportRate", false), QVariant(1));
    // The dialogs: caption, filter, the desktop, the view as parent.
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    for (const FakeFileDialogs::Call &c : b.dialogs->calls.mid(0, 2))
        QCOMPARE(QStringList({c.caption, c.dir, c.filter}).join('|'),
                 QStringList({c.kind == "save" ? "Save File" : "Open File", desktop, "Profile(*.pf)"}).join('|'));
    QCOMPARE(b.dialogs->calls.at(1).parent, b.view.dialogParent());
    // Reset with unreadable defaults keeps the profile.
    QVERIFY(QFile::remove(data.path("modules/setting/pD.bin")));
    b.view.resetProfile(0);
    QCOMPARE(b.view.getData("mouse/reportRate", false), QVariant(1));
    QVERIFY(cap.lines().join('\n').contains("config: profile 0 kept"));
}

void TestProfileFiles::switchReachesTheDevice()
{
    ROW(kSwitch);
    DeviceRig::Options o;
    o.family = r.family560 ? VirtualMouse::Family::F560 : VirtualMouse::Family::F553;
    o.isEncode = r.isEncode;
    DeviceRig rig(o, true);
    QVERIFY(rig.attach());
    myQQuickView view;
    view.hid = &rig.hid;
    view.icType = r.family560 ? "560" : "553";
    rig.clearTrace();
    DebugCapture cap;
    view.setCurrentProfile(r.profile);
    QCOMPARE(view.currentProfile(), r.profile);
    QCOMPARE(view.profileOnDevice(), r.sent != 0);
    if (r.sent == 0) {
        // Every page action of the profile: stored, and not one byte sent.
        view.setData("mouse/reportRate", 2);
        view.mouseSetReportRate(2);
        view.mouseSetDpi(4, "3325", {400, 800, 1600, 3200});
        QCOMPARE(rig.transfers(), QStringList());
        QCOMPARE(view.getData("mouse/reportRate", false), QVariant(2));
        QVERIFY(cap.contains(QStringLiteral("device: profile %1 has no slot on the device; report "
                                            "rate kept on the computer only").arg(r.profile + 1)));
        return;
    }
    const QString expected = "SET_FEATURE " + DeviceRig::hex(wireReport(plainReport(0x02, {r.sent, 0, 0, 0, 0, 0}), r.isEncode, o.sCode));
    QCOMPARE(rig.transfers(), QStringList{expected});
    if (r.family560) QCOMPARE(rig.mouse->state().currentProfile560, r.sent);
    // With the mouse gone the switch still holds.
    rig.mouse->unplug();
    view.setCurrentProfile(3);
    QCOMPARE(view.currentProfile(), 3);
}

QTEST_MAIN(TestProfileFiles)
#include "tst_profile_files.moc"
