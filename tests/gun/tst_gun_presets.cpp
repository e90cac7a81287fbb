// Gun presets: the file's entries, the bytes sent when one is saved, the
// refusals, and the per-profile sensitivity and selection.
#include "device/DeviceRig.h"

#include <QSettings>
#include <QtTest>

namespace
{
const QString kGunFile = QStringLiteral("modules/gun/gunData.bin");

QStringList stored(const TestData &data, const QString &key)
{
    return QSettings(data.path(kGunFile), QSettings::IniFormat).value("gunData/" + key).toStringList();
}

struct Save {
    const char *tag;
    bool family560;
    QVariant index;
    QVariantList src6;
    const char *key;
    std::array<quint8, 4> sent; // bytes 2..5 of the 04 command; none: refused
};
const QVariantList kAkm{"AKM", "L-Click", 10, 0, 10, 0};
// clang-format off
const Save kSaves[] = {
    {"553, SCAR-L at 2, Y 10, extra items ignored", false, 2, {"SCAR-L", "L-Click", 10, 0, 10, 0, "spare"}, "2", {0, 0, 0xF5, 3}},
    {"560 too, index as text, Y 0", true, "0", {"M416", "L-Click", "4", "1", "0", "3"}, "0", {0, 0, 0xFF, 1}},
    {"five items refused", false, 1, kAkm.mid(0, 5), "1", {}},
};
// clang-format on

struct Modify {
    const char *tag;
    QVariant type;
    QVariantList src;
    QStringList keys; // the shipped indexes 0..5, changed
    const char *name;
    QStringList value;
};
const QStringList kIndexes{"0", "1", "2", "3", "4", "5"};
const QStringList kNew{"L-Click", "10", "0", "10", "0"};
// clang-format off
const Modify kModifies[] = {
    {"store by name", 2, {"Mine", "R-Click", 20, 1, 2, 3}, kIndexes + QStringList{"Mine"}, "Mine", {"R-Click", "20", "1", "2", "3"}},
    {"remove by name", 0, {"3"}, {"0", "1", "2", "4", "5"}, "3", {}},
    {"rename", 1, {"New", "L-Click", 10, 0, 10, 0, "1"}, {"0", "2", "3", "4", "5", "New"}, "New", kNew},
    {"rename without old name refused", 1, {"New", "L-Click", 10, 0, 10, 0}, kIndexes, "New", {}},
};
// clang-format on
} // namespace

class TestGunPresets : public QObject
{
    Q_OBJECT

private slots:
    void save_data() { addRows(kSaves); }
    void save()
    {
        ROW(kSaves);
        BridgeRig g({r.family560 ? VirtualMouse::Family::F560 : VirtualMouse::Family::F553});
        const QByteArray before = g.rig.data->read(kGunFile);
        DebugCapture cap;
        g.view->mouseSaveGundata(r.index, r.src6);
        const auto &b = r.sent;
        QStringList items;
        for (const QVariant &v : r.src6.mid(0, 6))
            items << v.toString();
        if (b == std::array<quint8, 4>{}) {
            QVERIFY(g.rig.transfers().isEmpty());
            QCOMPARE(g.rig.data->read(kGunFile), before);
            QVERIFY(cap.lines().join('\n').contains(QStringLiteral("refused")));
            return;
        }
        QCOMPARE(g.commands(), QStringList{DeviceRig::hex(plainReport(0x04, {0, b[0], b[1], b[2], b[3], 0}))});
        QCOMPARE(stored(*g.rig.data, r.key), items);
    }

    void modify_data() { addRows(kModifies); }
    void modify()
    {
        ROW(kModifies);
        TestData data;
        myQQuickView view;
        view.modifyGundata(r.type, r.src);
        QCOMPARE(view.getGunDataKey(), r.keys);
        QCOMPARE(stored(data, r.name), r.value);
        if (!r.value.isEmpty()) QCOMPARE(view.getGunData(r.name), QVariantList(r.value.begin(), r.value.end()));
    }

    void withoutGunFile()
    {
        BridgeRig g({});
        const QString path = g.rig.data->path(kGunFile);
        QVERIFY(QFile::remove(path));
        g.view->mouseSaveGundata(2, kAkm);
        g.view->modifyGundata(2, {"Mine", "R-Click", 20, 1, 2, 3});
        QVERIFY(g.rig.transfers().isEmpty());
        QVERIFY(!QFile::exists(path));
        QCOMPARE(g.view->getGunDataKey(), QStringList());
    }

    void sensitivityAndSelectionPerProfile()
    {
        TestData data;
        {
            myQQuickView view;
            // Each profile keeps its own; one without the key reads the shipped 4.
            view.stores().profile(0)->remove(QStringLiteral("XYSensitive"));
            view.setCurrentProfile(3);
            view.setXYSensitive(1, 7);
            view.setSelectGun(0, QStringLiteral("AKM"));
            view.setCurrentProfile(0);
            QCOMPARE(view.getXYSensitive(1), QVariant(4));
        }
        const QSettings p4(data.path("modules/setting/p4.bin"), QSettings::IniFormat);
        QCOMPARE((QStringList{p4.value("XYSensitive/1").toString(), p4.value("selectGun/0").toString()}), (QStringList{"7", "AKM"}));
    }
};

QTEST_MAIN(TestGunPresets)
#include "tst_gun_presets.moc"
