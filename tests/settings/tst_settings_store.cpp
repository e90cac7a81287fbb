#include "macro/MacroStore.h"
#include "settings/NameLists.h"
#include "settings/Profiles.h"
#include "settings/SafeWrite.h"
#include "settings/SettingsStores.h"
#include "testlib/TestData.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace {
// Every file under the data folder with its bytes.
QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            files.insert(QDir(root).relativeFilePath(path), f.readAll());
    }
    return files;
}

QStringList leftovers(const QString &root)
{
    QStringList out;
    for (const QString &name : snapshot(root).keys())
        if (SafeWrite::isLeftover(QFileInfo(name).fileName()))
            out << name;
    return out;
}

// A small file system of its own, mounted over a folder of the test data,
// holding a copy of modules/; the working directory points into it.
class SmallDisk
{
public:
    explicit SmallDisk(const TestData &data, const char *size = "256k") : m_mount(data.path("small"))
    {
        QDir().mkpath(m_mount);
        if (::geteuid() != 0) {
            m_why = QStringLiteral("needs root to mount a small tmpfs");
            return;
        }
        if (::mount("tmpfs", QFile::encodeName(m_mount).constData(), "tmpfs", 0,
                    (QByteArray("size=") + size).constData()) != 0) {
            m_why = QStringLiteral("cannot mount a tmpfs here: %1").arg(qt_error_string(errno));
            return;
        }
        m_mounted = true;
        QDirIterator it(data.path("modules"), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to = m_mount + "/modules/" + QDir(data.path("modules")).relativeFilePath(from);
            QDir().mkpath(QFileInfo(to).path());
            QFile::copy(from, to);
        }
        m_oldCwd = QDir::currentPath();
        QDir::setCurrent(m_mount);
    }
    ~SmallDisk()
    {
        if (!m_mounted)
            return;
        QDir::setCurrent(m_oldCwd);
        ::umount2(QFile::encodeName(m_mount).constData(), MNT_DETACH);
    }
    QString why() const { return m_why; }
    QString root() const { return m_mount; }
    // Fills the disk, then gives back `freeBytes`.
    bool fill(qint64 freeBytes)
    {
        QFile filler(m_mount + "/filler");
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        filler.close();
        const qint64 size = QFileInfo(filler).size();
        return size >= freeBytes && ::truncate(QFile::encodeName(filler.fileName()).constData(),
                                               size - freeBytes) == 0;
    }

private:
    QString m_mount;
    QString m_oldCwd;
    QString m_why;
    bool m_mounted = false;
};
} // namespace

class SettingsStoreTest : public QObject
{
    Q_OBJECT
private slots:
    void readsAndWritesGoToP1BeforeAnySwitch();
    void recoveryReadsComeFromDefaultsAndWritesNeverGoThere();
    void listsAndScalars_data();
    void listsAndScalars();
    void valuesRoundTripAcrossReopen_data();
    void valuesRoundTripAcrossReopen();
    void resetGlobalRestoresFactoryBytes();
    void outOfRangeProfileIsIgnored();
    void badFilesGiveDefaultsAndAreNotWritten_data();
    void badFilesGiveDefaultsAndAreNotWritten();
    void fullDiskKeepsEveryFile_data();
    void fullDiskKeepsEveryFile();
    void sameSizeReplaceIsSeenAtOnce();
    void interruptedWritesLeaveWholeFiles();
    void linkInPlaceOfProfileIsRefused();
};

void SettingsStoreTest::readsAndWritesGoToP1BeforeAnySwitch()
{
    TestData data;
    QVERIFY(data.isValid());
    SettingsStores stores;
    stores.setGlobalData("mouse/profileNo", 4);
    QCOMPARE(stores.currentProfile(), 0);
    stores.setData("mouse/reportRate", 1);
    stores.profile(0)->sync();
    QVERIFY(data.read("modules/setting/p1.bin").contains("reportRate=1"));
    QVERIFY(data.read("modules/setting/p5.bin").contains("reportRate=3"));
    QCOMPARE(stores.getData("mouse/reportRate", false), QVariant(1));
}

void SettingsStoreTest::recoveryReadsComeFromDefaultsAndWritesNeverGoThere()
{
    TestData data;
    const QByteArray factory = data.read("modules/setting/pD.bin");
    {
        SettingsStores stores;
        stores.setData("mouse/scrollRate", 42);
        QCOMPARE(stores.getData("mouse/scrollRate", true), QVariant(3));
        QCOMPARE(stores.getData("mouse/scrollRate", false), QVariant(42));
        stores.setData("mouse/scrollRate", stores.getData("mouse/scrollRate", true));
        QCOMPARE(stores.getData("mouse/scrollRate", false), QVariant(3));
    }
    QCOMPARE(data.read("modules/setting/pD.bin"), factory);
}

void SettingsStoreTest::listsAndScalars_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariantList>("expected");
    QTest::newRow("scalar is no list") << "mouse/reportRate" << QVariantList{};
    QTest::newRow("absent key") << "mouse/nothing" << QVariantList{};
    QTest::newRow("integer list") << "mouse/lightValue" << QVariantList{1, 2, 4};
    QTest::newRow("binding") << "mouseKeyMatrix/7" << QVariantList{0, 240, 30, 2};
}

void SettingsStoreTest::listsAndScalars()
{
    QFETCH(QString, key);
    QFETCH(QVariantList, expected);
    TestData data;
    SettingsStores stores;
    QCOMPARE(stores.getDataList(key, false), expected);
    QCOMPARE(stores.getDataList(key, true), expected);
}

void SettingsStoreTest::valuesRoundTripAcrossReopen_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("int") << QVariant(1600);
    QTest::newRow("negative") << QVariant(-3);
    QTest::newRow("bool") << QVariant(true);
    QTest::newRow("string") << QVariant(QStringLiteral("Macro A"));
    QTest::newRow("digits with leading zero stay text") << QVariant(QStringLiteral("007"));
    QTest::newRow("list") << QVariant(QVariantList{255, 0, 17});
}

void SettingsStoreTest::valuesRoundTripAcrossReopen()
{
    QFETCH(QVariant, value);
    TestData data;
    {
        SettingsStores stores;
        if (value.typeId() == QMetaType::QVariantList)
            stores.setDataList("test/value", value.toList());
        else
            stores.setData("test/value", value);
        QCOMPARE(stores.getData("test/value", false), value);
    }
    SettingsStores again;
    QCOMPARE(again.getData("test/value", false), value);
}

void SettingsStoreTest::resetGlobalRestoresFactoryBytes()
{
    TestData data;
    SettingsStores stores;
    stores.setGlobalData("mouse/profileNo", 5);
    stores.setGlobalData("common/name", "changed");
    stores.global().sync();
    QVERIFY(data.read("modules/setting/apConfig.bin").contains("changed"));
    stores.setGlobalData("mouse/maxDPI", 1); // pending, must not survive either
    stores.resetGlobal();
    QCOMPARE(data.read("modules/setting/apConfig.bin"), data.read("modules/setting/apConfigD.bin"));
    QCOMPARE(stores.getGlobalData("mouse/profileNo"), QVariant(0));
    QCOMPARE(stores.getGlobalData("mouse/maxDPI"), QVariant(6000));
}

void SettingsStoreTest::outOfRangeProfileIsIgnored()
{
    TestData data;
    SettingsStores stores;
    QVERIFY(stores.setCurrentProfile(9));
    QVERIFY(!stores.setCurrentProfile(10));
    QVERIFY(!stores.setCurrentProfile(-1));
    QCOMPARE(stores.currentProfile(), 9);
    QVERIFY(stores.profile(10) == nullptr);
}

void SettingsStoreTest::badFilesGiveDefaultsAndAreNotWritten_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("not ini") << QByteArray("\x89PNG\r\n\x1a\n\0\0garbage[[[=\n==\xff\xfe", 24)
                             << true;
    QTest::newRow("wrong types") << QByteArray("[mouse]\nreportRate=fast\nlightValue=1\n"
                                               "icType=@Variant(\\0\\0\\0\\x7f)\nisGun=maybe\n")
                                 << true;
}

void SettingsStoreTest::badFilesGiveDefaultsAndAreNotWritten()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    TestData data;
    for (const char *f : {"modules/setting/apConfig.bin", "modules/setting/p1.bin"}) {
        QFile::remove(data.path(f));
        if (exists)
            data.write(f, content);
    }
    {
        SettingsStores stores;
        QVERIFY(!SettingsStores::readBool(stores.getGlobalData("mouse/isGun")));
        QVERIFY(stores.getDataList("mouse/lightValue", false).isEmpty() ||
                stores.getDataList("mouse/lightValue", false).size() == 1);
        const QVariant rate = stores.getData("mouse/reportRate", false);
        QVERIFY(!rate.isValid() || rate.typeId() == QMetaType::QString);
        QCOMPARE(stores.getData("mouse/nothing", false), QVariant());
    }
    for (const char *f : {"modules/setting/apConfig.bin", "modules/setting/p1.bin"}) {
        QCOMPARE(QFile::exists(data.path(f)), exists);
        if (exists)
            QCOMPARE(data.read(f), content);
    }
}

void SettingsStoreTest::fullDiskKeepsEveryFile_data()
{
    QTest::addColumn<qint64>("freeBytes");
    QTest::newRow("no free space") << qint64(0);
    QTest::newRow("one free page") << qint64(4096);
}

void SettingsStoreTest::fullDiskKeepsEveryFile()
{
    QFETCH(qint64, freeBytes);
    TestData data;
    data.write("import.pf", data.read("modules/setting/p3.bin") + "\n[extra]\nimported=1\n");
    SmallDisk disk(data);
    if (!disk.why().isEmpty())
        QSKIP(qPrintable(disk.why()));
    QVERIFY(MacroStore::create("M", 0));
    QVERIFY(MacroStore::save("M", {"1,A"}, 1));
    SettingsStores stores;
    QVERIFY(stores.setData("mouse/reportRate", 1));
    QVERIFY(disk.fill(freeBytes));

    // Each operation either fails and leaves every file as it was, or
    // succeeds whole; nothing is ever emptied or cut.
    using Op = std::function<bool()>;
    const QList<QPair<const char *, Op>> ops{
        {"reset", [&] { return Profiles(stores).reset(0); }},
        {"copy", [&] { return Profiles(stores).copy(1, 0); }},
        {"import", [&] { return Profiles(stores).replace(2, data.path("import.pf")); }},
        {"export", [&] { return Profiles(stores).exportTo(3, disk.root() + "/out.pf"); }},
        {"name list", [&] { return NameLists::update(0, {"M", "N", "O"}); }},
        {"global store", [&] { return stores.setGlobalData("mouse/profileNo", 3); }},
        {"DPI save", [&] {
             return stores.setDataList("mouse/dpiValueArray", {100, 200, 300, 400, 500, 600, 700, 800});
         }},
        {"macro save", [&] { return MacroStore::save("M", {"1,A", "2,A", "0,120"}, 4); }},
        {"macro create", [&] { return MacroStore::create("Fresh", 0); }},
        {"reset global", [&] { return stores.resetGlobal(); }},
    };
    int failed = 0;
    for (const auto &[name, op] : ops) {
        const auto before = snapshot(disk.root() + "/modules");
        const quint64 failures = SafeWrite::failureCount();
        const bool ok = op();
        const auto after = snapshot(disk.root() + "/modules");
        QVERIFY2(leftovers(disk.root()).isEmpty(), name);
        if (!ok) {
            ++failed;
            QVERIFY2(after == before, name);
            QVERIFY2(SafeWrite::failureCount() > failures, name);
            QVERIFY2(SafeWrite::lastError().contains("no space left on device"),
                     qPrintable(QString::fromLatin1(name) + ": " + SafeWrite::lastError()));
        }
        for (auto it = after.cbegin(); it != after.cend(); ++it)
            QVERIFY2(!it.value().isEmpty() || before.value(it.key()).isEmpty() ||
                         it.key().endsWith(".keep"),
                     qPrintable(QString::fromLatin1(name) + " emptied " + it.key()));
    }
    if (freeBytes == 0)
        QCOMPARE(failed, int(ops.size()));
    // What the store reads is what the files hold.
    if (freeBytes == 0)
        QCOMPARE(stores.getData("mouse/reportRate", false), QVariant(1));
    SettingsStores again;
    QCOMPARE(again.getData("mouse/reportRate", false),
             stores.getData("mouse/reportRate", false));
}

void SettingsStoreTest::sameSizeReplaceIsSeenAtOnce()
{
    TestData data;
    // On a memory file system where one can be mounted: a thousand synced
    // replaces on a shared disk would take most of a minute.
    SmallDisk memory(data, "8m");
    SettingsStores stores;
    const QByteArray p1 = QFile::encodeName(QFileInfo("modules/setting/p1.bin").absoluteFilePath());
    struct stat st {};
    for (int i = 0; i < 1000; ++i) {
        QVERIFY(stores.setData("mouse/reportRate", 1));
        // Same size as the defaults, and made to carry the same time stamp.
        QVERIFY(::stat(p1.constData(), &st) == 0);
        QVERIFY(Profiles(stores).reset(0));
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        QVERIFY(::utimensat(AT_FDCWD, p1.constData(), times, 0) == 0);
        QCOMPARE(stores.getData("mouse/reportRate", false), QVariant(3));
        if (i % 10 == 0) {
            QCOMPARE(SettingsStores().getData("mouse/reportRate", false), QVariant(3));
            QVERIFY(stores.setGlobalData("mouse/profileNo", 4));
            QVERIFY(stores.resetGlobal());
            QCOMPARE(stores.getGlobalData("mouse/profileNo"), QVariant(0));
        }
    }
    // Nothing set before a replace comes back into the new file.
    QVERIFY(stores.setData("mouse/scrollRate", 5));
    SettingsStores fresh;
    QCOMPARE(fresh.getData("mouse/scrollRate", false), QVariant(5));
    QCOMPARE(fresh.getData("mouse/reportRate", false), QVariant(3));
}

void SettingsStoreTest::interruptedWritesLeaveWholeFiles()
{
    TestData data;
    QRandomGenerator random(1313);
    const QList<SafeWrite::Step> steps{SafeWrite::Step::Open, SafeWrite::Step::Write,
                                       SafeWrite::Step::Sync, SafeWrite::Step::Close,
                                       SafeWrite::Step::Rename, SafeWrite::Step::Link};
    const QStringList files{"modules/setting/p1.bin", "modules/setting/p2.bin",
                            "modules/setting/apConfig.bin", "modules/setting/name.bin",
                            "modules/macro/M.bin"};
    QVERIFY(MacroStore::create("M", 0));
    for (int run = 0; run < 300; ++run) {
        SettingsStores stores; // a start: leftovers of the run before go
        QVERIFY2(leftovers(data.root()).isEmpty(), qPrintable(leftovers(data.root()).join(' ')));
        QMap<QString, QByteArray> before;
        for (const QString &f : files)
            before.insert(f, data.read(f));
        const SafeWrite::Step at = steps.at(random.bounded(int(steps.size())));
        const bool crash = random.bounded(2) == 0;
        SafeWrite::setFaultHook([&](SafeWrite::Step step) {
            return step == at ? (crash ? SafeWrite::kCrash : EIO) : 0;
        });
        const int value = run % 4;
        bool ok = false;
        switch (random.bounded(6)) {
        case 0: ok = stores.setData("mouse/reportRate", value); break;
        case 1: ok = Profiles(stores).reset(0); break;
        case 2: ok = Profiles(stores).copy(1, 0); break;
        case 3: ok = stores.resetGlobal(); break;
        case 4: ok = NameLists::update(0, {"M", QString::number(run)}); break;
        default: ok = MacroStore::save("M", {QStringLiteral("0,%1").arg(run)}, 1); break;
        }
        SafeWrite::setFaultHook({});
        for (const QString &f : files) {
            const QByteArray now = data.read(f);
            QVERIFY2(!now.isEmpty(), qPrintable(f));
            if (!ok)
                QVERIFY2(now == before.value(f), qPrintable(QStringLiteral("run %1 %2").arg(run).arg(f)));
            // Whole INI text: what a fresh store reads is what was written.
            QVERIFY2(now.endsWith('\n'), qPrintable(f));
        }
    }
    SettingsStores last;
    QVERIFY(leftovers(data.root()).isEmpty());
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
    QVERIFY(!Profiles(stores).copy(0, 1));
    QCOMPARE(data.read("outside.bin"), QByteArray("[mouse]\nreportRate=2\n"));
    QVERIFY(QFileInfo(p1).isSymLink());
    QCOMPARE(stores.getData("mouse/reportRate", false), QVariant(2));
    QVERIFY(cap.contains("config: cannot write modules/setting/p1.bin: it is a symbolic link"));
    QVERIFY(leftovers(data.root()).isEmpty());
}

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_settings_store.moc"
