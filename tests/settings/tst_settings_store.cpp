// The settings files under modules/: what the stores read and write, the
// name lists, and that no write ever leaves a file cut, emptied or stale.
#include "macro/MacroStore.h"
#include "settings/NameLists.h"
#include "settings/Profiles.h"
#include "settings/SafeWrite.h"
#include "settings/SettingsStores.h"
#include "testlib/TestData.h"

#include <QSettings>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The files under modules/ apart from leftovers of a write.
QMap<QString, QByteArray> settled(const TestData &data)
{
    QMap<QString, QByteArray> files = data.snapshot("modules");
    files.removeIf([](auto it) { return SafeWrite::isLeftover(QFileInfo(it.key()).fileName()); });
    return files;
}

QStringList leftovers(const TestData &data)
{
    QStringList names = data.snapshot().keys();
    names.removeIf([](const QString &name) { return !SafeWrite::isLeftover(QFileInfo(name).fileName()); });
    return names;
}

const struct { const char *tag; QByteArray content; bool exists; } kBadFiles[] = {
    {"missing", {}, false},
    {"not ini", QByteArray("\x89PNG\r\n\x1a\n\0\0garbage[[[=\n==\xff\xfe", 24), true},
    {"wrong types", "[mouse]\nreportRate=fast\nlightValue=1\nicType=@Variant(\\0\\0\\0\\x7f)\nisGun=maybe\n", true}};
} // namespace

class SettingsStoreTest : public QObject
{
    Q_OBJECT
private slots:
    void storesReadAndWrite();
    void badFilesGiveDefaultsAndAreNotWritten_data() { addRows(kBadFiles); }
    void badFilesGiveDefaultsAndAreNotWritten();
    void sameSizeReplaceIsSeenAtOnce();
    void failedWritesLeaveWholeFiles();
    void linkInPlaceOfProfileIsRefused();
    void nameLists();
};

void SettingsStoreTest::storesReadAndWrite()
{
    TestData data;
    const QByteArray factory = data.read("modules/setting/pD.bin");
    const QVariantList values{1600, -3, true, "Macro A", "007", QVariantList{255, 0, 17}};
    {
        SettingsStores stores;
        // Before any switch reads and writes go to p1, whatever the stored choice.
        stores.setGlobalData("mouse/profileNo", 4);
        stores.setData("mouse/reportRate", 1);
        QVERIFY(data.read("modules/setting/p1.bin").contains("reportRate=1"));
        // Recovery reads come from the defaults, writes never go there.
        QCOMPARE(stores.getData("mouse/reportRate", true), QVariant(3));
        QCOMPARE(stores.getDataList("mouseKeyMatrix/7", true), (QVariantList{0, 240, 30, 2}));
        QCOMPARE(stores.getDataList("mouse/reportRate", false), QVariantList());
        for (int i = 0; i < values.size(); ++i)
            stores.setData(QStringLiteral("test/v%1").arg(i), values.at(i));
    }
    QCOMPARE(data.read("modules/setting/pD.bin"), factory);
    // Values come back as they went in after a reopen; "007" stays text.
    SettingsStores again;
    for (int i = 0; i < values.size(); ++i)
        QCOMPARE(again.getData(QStringLiteral("test/v%1").arg(i), false), values.at(i));
}

void SettingsStoreTest::badFilesGiveDefaultsAndAreNotWritten()
{
    ROW(kBadFiles);
    TestData data;
    const char *files[] = {"modules/setting/apConfig.bin", "modules/setting/p1.bin"};
    for (const char *f : files) {
        QFile::remove(data.path(f));
        if (r.exists) data.write(f, r.content);
    }
    {
        SettingsStores stores;
        QVERIFY(!SettingsStores::readBool(stores.getGlobalData("mouse/isGun")));
        QVERIFY(stores.getDataList("mouse/lightValue", false).size() <= 1);
        const QVariant rate = stores.getData("mouse/reportRate", false);
        QVERIFY(!rate.isValid() || rate.typeId() == QMetaType::QString);
    }
    for (const char *f : files) {
        QCOMPARE(QFile::exists(data.path(f)), r.exists);
        if (r.exists) QCOMPARE(data.read(f), r.content);
    }
}

void SettingsStoreTest::sameSizeReplaceIsSeenAtOnce()
{
    TestData data;
    SettingsStores stores;
    const QByteArray p1 = QFile::encodeName(QFileInfo("modules/setting/p1.bin").absoluteFilePath());
    struct stat st {};
    for (int i = 0; i < 10; ++i) {
        QVERIFY(stores.setData("mouse/reportRate", 1));
        // Same size as the defaults, and made to carry the same time stamp.
        QVERIFY(::stat(p1.constData(), &st) == 0);
        QVERIFY(Profiles(stores).reset(0));
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        QVERIFY(::utimensat(AT_FDCWD, p1.constData(), times, 0) == 0);
        QCOMPARE(stores.getData("mouse/reportRate", false), QVariant(3));
        QVERIFY(stores.setGlobalData("mouse/profileNo", 4) && stores.resetGlobal());
        QCOMPARE(stores.getGlobalData("mouse/profileNo"), QVariant(0));
        QCOMPARE(data.read("modules/setting/apConfig.bin"), data.read("modules/setting/apConfigD.bin"));
    }
    // Nothing set before a replace comes back into the new file.
    QVERIFY(stores.setData("mouse/scrollRate", 5));
    QCOMPARE(SettingsStores().getData("mouse/scrollRate", false), QVariant(5));
    QCOMPARE(SettingsStores().getData("mouse/reportRate", false), QVariant(3));
}

void SettingsStoreTest::failedWritesLeaveWholeFiles()
{
    // Each kind of write fails (a full disk) or "crashes" at every step of
    // its replace: the files stay as they were, and a start removes leftovers.
    TestData data;
    data.write("import.pf", data.read("modules/setting/p3.bin") + "\n[extra]\nimported=1\n");
    QVERIFY(MacroStore::create("M", 0));
    using S = SafeWrite::Step;
    int n = 100; // a new value each time: an unchanged value is not written at all
    for (S at : {S::Open, S::Write, S::Sync, S::Close, S::Rename, S::Link, S::DirSync}) {
        for (int fault : {SafeWrite::kCrash, ENOSPC}) {
            SettingsStores stores; // a start: leftovers of the run before go
            QVERIFY2(leftovers(data).isEmpty(), qPrintable(leftovers(data).join(' ')));
            ++n;
            const QList<QPair<const char *, std::function<bool()>>> ops{
                {"store", [&] { return stores.setData("mouse/reportRate", n); }},
                {"reset", [&] { return Profiles(stores).reset(0); }},
                {"import", [&] { return Profiles(stores).replace(2, data.path("import.pf")); }},
                {"name list", [&] { return NameLists::update(0, {"M", QString::number(n)}); }},
                {"global store", [&] { return stores.setGlobalData("mouse/profileNo", n); }},
                {"macro save", [&] { return MacroStore::save("M", {"1,A", "2,A", QStringLiteral("0,%1").arg(n)}, 4); }},
            };
            for (const auto &[name, op] : ops) {
                const QByteArray where = QByteArray(name) + " at step " + QByteArray::number(int(at)) + ", fault " + QByteArray::number(fault);
                const auto before = settled(data);
                SafeWrite::setFaultHook([&](S step) { return step == at ? fault : 0; });
                const bool ok = op();
                SafeWrite::setFaultHook({});
                // Linking is for new files only; the folder's sync comes after the rename.
                QVERIFY2(ok == (at == S::Link || at == S::DirSync), where);
                if (ok) continue;
                QVERIFY2(settled(data) == before, where);
                if (fault == ENOSPC)
                    QVERIFY2(leftovers(data).isEmpty() && SafeWrite::lastError().contains("no space left on device"), where);
            }
            // What the store reads is what the files hold.
            QCOMPARE(SettingsStores().getData("mouse/reportRate", false), stores.getData("mouse/reportRate", false));
        }
    }
}

void SettingsStoreTest::linkInPlaceOfProfileIsRefused()
{
    TestData data;
    data.write("outside.bin", "[mouse]\nreportRate=2\n");
    const QString p1 = data.path("modules/setting/p1.bin");
    QVERIFY(QFile::remove(p1));
    QVERIFY(QFile::link(data.path("outside.bin"), p1));
    SettingsStores stores;
    DebugCapture cap;
    QCOMPARE(stores.getData("mouse/reportRate", false), QVariant(2)); // reads may follow it
    QVERIFY(!stores.setData("mouse/reportRate", 1));
    QVERIFY(!Profiles(stores).reset(0));
    QCOMPARE(data.read("outside.bin"), QByteArray("[mouse]\nreportRate=2\n"));
    QVERIFY(QFileInfo(p1).isSymLink());
    QVERIFY(cap.contains("config: cannot write modules/setting/p1.bin: it is a symbolic link"));
    QVERIFY(leftovers(data).isEmpty());
}

void SettingsStoreTest::nameLists()
{
    const QString pad = NameLists::kPadding;
    const QStringList odd{"a, b", "say \"hi\"", "semi;colon", "\\"};
    // type, names, key (empty: no such list, nothing written), what is stored.
    const struct { QVariant type; QStringList names; QString key; QStringList stored; } cases[] = {
        {0, {"M"}, "macro/macroName", {"M", pad}}, // one macro is padded
        {1, {"AKM", "M416", "UNP9"}, "gun/gunName", {"AKM", "M416", "UNP9"}},
        {"2", {"Standard0", "profile_01"}, "profile/profileName", {"Standard0", "profile_01"}}, // type as text
        {3.0, {"x"}, "gun/selectGun", {"x", pad}},                                            // type as double
        {0, odd, "macro/macroName", odd},
        {4, {"X"}, {}, {}}, {"macro", {"X"}, {}, {}}, {QVariant(), {"X"}, {}, {}}};
    for (const auto &c : cases) {
        TestData data;
        const QByteArray before = data.read("modules/setting/name.bin");
        DebugCapture cap;
        NameLists::update(c.type, c.names);
        QCOMPARE(NameLists::get(c.type), QVariant(c.stored).toList());
        if (c.key.isEmpty()) {
            QCOMPARE(data.read("modules/setting/name.bin"), before);
            QVERIFY(cap.lines().join('\n').contains("config: no name list of type"));
        } else { // on disk as soon as the call returns
            QCOMPARE(QSettings(data.path("modules/setting/name.bin"), QSettings::IniFormat).value(c.key).toStringList(), c.stored);
        }
    }
    TestData data;
    QCOMPARE(NameLists::get(2), (QVariantList{"Standard0", pad})); // as shipped
    NameLists::update(0, {}); // an empty list removes the key, the others stay
    QVERIFY(!data.read("modules/setting/name.bin").contains("macroName"));
    QCOMPARE(NameLists::get(2).size(), qsizetype(2));
    QVERIFY(QFile::remove(data.path("modules/setting/name.bin")));
    QCOMPARE(NameLists::get(0), QVariantList());
    // The reader drops only a pad in second place of two.
    const std::pair<QStringList, QStringList> reads[] = {
        {{"M", pad}, {"M"}}, {{pad, "M"}, {pad, "M"}}, {{"A", pad, "B"}, {"A", pad, "B"}}, {{"A", "B"}, {"A", "B"}}};
    for (const auto &[stored, read] : reads)
        QCOMPARE(NameLists::withoutPadding(stored), read);
}

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_settings_store.moc"
