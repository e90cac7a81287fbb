// Wall time of device exchanges on the virtual mouse with the real delays,
// against the fixed delays they are made of. Not a test: run it by hand,
//   ./build/tests/device/skeld_bench_device [rounds]
#include "device/DeviceCheck.h"
#include "device/HidHost.h"
#include "device/Hid_Thread.h"
#include "device/VirtualMouse.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace
{
class BenchHost : public HidHost
{
public:
    Hid_Thread *hid = nullptr;
    QString family;
    std::array<std::array<uchar, 128>, 5> images{};
    void showTrayMessage(const QString &, const QString &, int) override {}
    void hostSetCurrentDPI(int) override {}
    void hostSetRight(bool) override {}
    void hostRunUI() override {}
    void hostSetViewEnabled(bool) override {}
    int hostCurrentProfile() const override { return 0; }
    QString hostIcType() const override { return family; }
    void hostClearHidBusy() override { hid->idle = true; }
    void hostProfileRead(unsigned int n, const QByteArray &record) override
    {
        if (n < images.size() && record.size() == 128)
            std::copy(record.begin(), record.end(), images[n].begin());
    }
};

struct Stats {
    double min, median, max;
};

Stats stats(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return {v.first(), v.at(v.size() / 2), v.last()};
}

void report(const char *what, int fixedMs, const QList<double> &walls)
{
    const Stats s = stats(walls);
    std::printf("%-34s fixed %4d ms | wall min %7.1f  median %7.1f  max %7.1f ms | median over "
                "fixed %+6.1f ms (%+.2f%%)\n",
                what, fixedMs, s.min, s.median, s.max, s.median - fixedMs,
                fixedMs ? 100.0 * (s.median - fixedMs) / fixedMs : 0.0);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The check's own lines would drown the figures.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("modules/setting"));
    QDir::setCurrent(dir.path());

    for (const char *fam : {"553", "560"}) {
        QFile table(QStringLiteral("modules/setting/apConfig.bin"));
        table.open(QIODevice::WriteOnly | QIODevice::Truncate);
        table.write("[common]\ndeviceCount=2\n[0]\ntype=0\nvid=04d9\npid=8008\nusagePage=ff01\n"
                    "usage=0001\nusagePage2=ff02\nusage2=0001\nreportLength=64\n"
                    "[1]\ntype=1\nvid=04d9\npid=a1ee\nusagePage=ff00\nusage=ff00\n"
                    "usagePage2=ff01\nusage2=ff01\nreportLength=32\nisEncode=true\n"
                    "sCode=731952\n");
        table.close();
        const bool is560 = QByteArray(fam) == "560";
        auto mouse = VirtualMouse::fromDataFolder(is560 ? VirtualMouse::Family::F560
                                                        : VirtualMouse::Family::F553);
        QList<double> connection, transfer;
        for (int r = 0; r < rounds; ++r) {
            Hid_Thread hid; // real delays
            BenchHost host;
            host.hid = &hid;
            host.family = QString::fromLatin1(fam);
            hid.owner = &host;
            hid.setBackend(mouse);
            QElapsedTimer t;
            t.start();
            const DeviceCheck::Result res = DeviceCheck::run(hid, host);
            connection << t.nsecsElapsed() / 1e6;
            if (!res.connected) {
                std::fprintf(stderr, "no connection\n");
                return 1;
            }
            hid.stopEventReader();
            mouse->endPendingReads();
            hid.waitForReader();
            std::array<uchar, 128> block{};
            t.start();
            if (is560)
                hid.hid560_0CH_setProfile(block.data(), 1);
            else
                hid.hid553_13H_SetMacroKey(1, block.data());
            transfer << t.nsecsElapsed() / 1e6;
        }
        const QByteArray c = QByteArray("connection ") + fam + (is560 ? " (4 reads)" : "");
        // Handshake, option get and read-backs sleep nothing; the option set
        // is unsettled: 8 ms.
        report(c.constData(), 8, connection);
        const QByteArray x = QByteArray("128-byte transfer ") + fam + " rl32";
        report(x.constData(), 128 + 4 * 120 + 128, transfer);
    }
    return 0;
}
