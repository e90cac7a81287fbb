// Applies a whole profile (key matrix, report rate, DPI, lighting) to the
// virtual mouse with the transport's real delays, and compares the wall
// time with the sum of the fixed delays the exchanges are made of. Not a
// test: run it by hand,
//   ./build/tests/features/skeld_bench_profile [rounds]
// It exits 1 when the median wall time exceeds the fixed delays by more
// than 5 %.
#include "app/myQQuickView.h"
#include "device/DeviceCheck.h"
#include "device/HidHost.h"
#include "device/Hid_Thread.h"
#include "device/VirtualMouse.h"
#include "features/ProfileApply.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>

namespace
{
// Counts the fixed delays the worker announces, then lets them pass for real.
class DelayCounter : public HidBackend
{
public:
    explicit DelayCounter(std::shared_ptr<HidBackend> inner) : m_inner(std::move(inner)) {}
    std::atomic<qint64> fixedMs{0};

    QList<HidInterfaceInfo> enumerate(quint16 vid, quint16 pid) override
    {
        return m_inner->enumerate(vid, pid);
    }
    std::unique_ptr<HidDevice> open(const QByteArray &path) override { return m_inner->open(path); }
    bool exists(const QByteArray &path) override { return m_inner->exists(path); }
    bool accessDenied(const QByteArray &path) override { return m_inner->accessDenied(path); }
    void noteDelay(int ms) override { fixedMs += ms; }

private:
    std::shared_ptr<HidBackend> m_inner;
};

class BenchHost : public HidHost
{
public:
    Hid_Thread *hid = nullptr;
    myQQuickView *view = nullptr;
    void showTrayMessage(const QString &, const QString &, int) override {}
    void hostSetCurrentDPI(int) override {}
    void hostSetRight(bool) override {}
    void hostRunUI() override {}
    void hostSetViewEnabled(bool) override {}
    int hostCurrentProfile() const override { return view->currentProfile(); }
    QString hostIcType() const override { return view->icType; }
    void hostClearHidBusy() override { hid->idle = true; }
    void hostSetDeviceConnected(bool) override {}
    void hostProfileRead(unsigned int n, const QByteArray &record) override
    {
        if (n < view->profileImages.size() && record.size() == 128) {
            std::copy(record.begin(), record.end(), view->profileImages[n].begin());
            view->profileImageRead[n] = true;
        }
    }
    void hostInitUI() override {}
};

bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    QDir().mkpath(to);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + src.mid(from.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(dst);
        else if (!QFile::copy(src, dst))
            return false;
        QFile(dst).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    return true;
}

QString findModules()
{
    QDir dir(QCoreApplication::applicationDirPath());
    for (int up = 0; up < 4; ++up, dir.cdUp())
        if (dir.exists(QStringLiteral("modules/setting/apConfig.bin")))
            return dir.filePath(QStringLiteral("modules"));
    return {};
}

struct Result {
    qint64 fixedMs = 0;
    double wallMs = 0;
};

Result applyOnce(const QString &family, const QString &modules)
{
    QTemporaryDir tmp;
    copyTree(modules, tmp.filePath(QStringLiteral("modules")));
    const QString old = QDir::currentPath();
    QDir::setCurrent(tmp.path());
    {
        QSettings global(QStringLiteral("./modules/setting/apConfig.bin"), QSettings::IniFormat);
        global.setValue(QStringLiteral("mouse/icType"), family);
    }
    Result r;
    {
        auto mouse = VirtualMouse::fromDataFolder(family == QLatin1String("560")
                                                      ? VirtualMouse::Family::F560
                                                      : VirtualMouse::Family::F553);
        auto counter = std::make_shared<DelayCounter>(mouse);
        Hid_Thread hid;
        hid.setBackend(counter);
        myQQuickView view;
        BenchHost host;
        host.hid = &hid;
        host.view = &view;
        hid.owner = &host;
        view.hid = &hid;
        if (DeviceCheck::run(hid, host).connected) {
            hid.stopEventReader();
            hid.waitForReader();
            counter->fixedMs = 0;
            QElapsedTimer timer;
            timer.start();
            ProfileApply::all(view);
            r.wallMs = double(timer.nsecsElapsed()) / 1.0e6;
            r.fixedMs = counter->fixedMs;
        }
    }
    QDir::setCurrent(old);
    return r;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("SKELD_HID_TRACE");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const QString modules = findModules();
    if (modules.isEmpty()) {
        std::fprintf(stderr, "bench: no modules/ folder beside the build\n");
        return 2;
    }
    bool ok = true;
    for (const QString &family : {QStringLiteral("553"), QStringLiteral("560")}) {
        QList<double> walls;
        qint64 fixed = 0;
        for (int i = 0; i < rounds; ++i) {
            const Result r = applyOnce(family, modules);
            if (r.fixedMs == 0) {
                std::fprintf(stderr, "bench: the virtual %s mouse did not connect\n",
                             qPrintable(family));
                return 2;
            }
            walls << r.wallMs;
            fixed = r.fixedMs;
        }
        std::sort(walls.begin(), walls.end());
        const double median = walls.at(walls.size() / 2);
        const double ratio = median / double(fixed);
        std::printf(
            "apply profile, %s family: fixed delays %lld ms | wall min %.1f median %.1f max "
            "%.1f ms | ratio %.4f\n",
            qPrintable(family), static_cast<long long>(fixed), walls.first(), median, walls.last(),
            ratio);
        ok = ok && ratio <= 1.05;
    }
    return ok ? 0 : 1;
}
