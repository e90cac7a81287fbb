// Randomised replies, read-backs, event reports and device tables: nothing
// may crash, hang, read out of bounds or leave the bus claimed. Run it under
// AddressSanitizer as well (see README.md in this folder).
#include "DeviceRig.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

namespace
{
QRandomGenerator gen;
// A fixed seed per test unless one is given, so a failure can be replayed.
void seed(quint32 n)
{
    const quint32 s = quint32(qEnvironmentVariableIntValue("SKELD_FUZZ_SEED"));
    gen.seed((s ? s : 20240611u) + n);
}
QByteArray randomBytes(int maxLength)
{
    QByteArray b(int(gen.bounded(maxLength + 1)), '\0');
    for (char &c : b)
        c = char(gen.bounded(256));
    return b;
}
} // namespace

class tst_DeviceFuzz : public QObject
{
    Q_OBJECT
private slots:
    void repliesAndReadBacks();
    void eventReports();
    void deviceTables();
};

void tst_DeviceFuzz::repliesAndReadBacks()
{
    seed(0);
    const QStringList keys = commandKeys();
    for (int round = 0; round < 30; ++round) {
        const auto family = gen.bounded(2) ? VirtualMouse::Family::F560 : VirtualMouse::Family::F553;
        const DeviceRig::Options o{family, int(gen.bounded(1, 80)), bool(gen.bounded(2)), "731952"};
        DeviceRig rig(o);
        rig.hid.readBackTimeoutMs = 5;
        QVERIFY(rig.attach());
        for (int call = 0; call < 50; ++call) {
            VirtualMouse::Faults f;
            const QByteArray reply = randomBytes(24), input = randomBytes(o.reportLength + 16);
            f.replyFilter = [reply](quint8, const QByteArray &) { return reply; };
            f.inputFilter = [input](const QByteArray &) { return input; };
            if (gen.bounded(20) == 0) f.unplugAfterTransfers = int(gen.bounded(6));
            f.muteReadBack = gen.bounded(10) == 0;
            rig.mouse->setFaults(f);
            if (gen.bounded(15) == 0) rig.hid.devices[1]->reportLength = int(gen.bounded(-4, 300));
            const QString key = keys.at(int(gen.bounded(keys.size())));
            runCommand(rig.hid, key, randomBytes(4).leftJustified(4, '\0'));
            QVERIFY2(rig.hid.idle && rig.hid.cmdHandle == nullptr, qPrintable(key));
            if (!rig.mouse->state().plugged) {
                rig.mouse->replug();
                rig.hid.devices[1]->path = QString::fromLatin1(rig.mouse->commandPath());
            }
        }
        QCOMPARE(rig.mouse->state().openCommandHandles, 0);
    }
}

void tst_DeviceFuzz::eventReports()
{
    seed(1);
    DeviceRig rig;
    QVERIFY(rig.attach());
    rig.hid.startEventReader(1);
    QTRY_COMPARE(rig.mouse->state().openEventHandles, 1);
    int expected = 0;
    for (int i = 0; i < 300; ++i) {
        QByteArray r = randomBytes(8);
        if (r.size() >= 2 && gen.bounded(2)) r[0] = 0x06, r[1] = gen.bounded(2) ? 0x07 : 0x0D;
        if (r.size() >= 4 && r[0] == 0x06 && (r[1] == 0x07 || r[1] == 0x0D)) ++expected;
        rig.mouse->pushEvent(r);
    }
    // Each handled report leaves exactly two calls behind.
    QTRY_COMPARE_WITH_TIMEOUT(rig.host.calls().size(), 2 * expected, 10000);
    QVERIFY(rig.hid.readerRunning);
}

void tst_DeviceFuzz::deviceTables()
{
    seed(2);
    TestData data;
    const char *keys[] = {"type", "vid", "pid", "usagePage", "usage", "usagePage2", "usage2", "reportLength",
                          "isEncode", "sCode"};
    for (int round = 0; round < 100; ++round) {
        const QByteArray counts[] = {QByteArray::number(gen.bounded(-100, 100)), QByteArray::number(gen.generate()),
                                     randomBytes(6), "1000000"};
        QByteArray ini = "[common]\ndeviceCount=" + counts[gen.bounded(4)] + "\n";
        for (int s = 0; s < int(gen.bounded(5)); ++s) {
            ini += "[" + QByteArray::number(gen.bounded(-2, 6)) + "]\n";
            for (const char *k : keys)
                if (gen.bounded(2)) ini += QByteArray(k) + "=" + randomBytes(10).toHex().left(int(gen.bounded(12))) + "\n";
            if (gen.bounded(4) == 0) ini += randomBytes(30) + "\n";
        }
        data.write("modules/setting/apConfig.bin", ini);
        QElapsedTimer t;
        t.start();
        QVERIFY(DeviceTable::readFile().size() <= DeviceTable::kMaxRecords);
        QVERIFY(t.elapsed() < 500);
    }
}

QTEST_GUILESS_MAIN(tst_DeviceFuzz)
#include "tst_device_fuzz.moc"
