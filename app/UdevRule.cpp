#include "app/UdevRule.h"

#include <QDir>
#include <QProcess>
#include <QSaveFile>
#include <cstdio>
#include <unistd.h>

namespace UdevRule
{
QString text()
{
    return QStringLiteral(
        "# skeld-config talks to the mouse through its hidraw nodes, which belong to\n"
        "# root. This gives the user at the seat access to exactly the interfaces of\n"
        "# the device table, and only while logged in.\n"
        "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"04d9\", ATTRS{idProduct}==\"a1ee\", TAG+=\"uaccess\"\n"
        "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"04d9\", ATTRS{idProduct}==\"8008\", TAG+=\"uaccess\"\n");
}

bool write(const QString &rulesDir)
{
    QDir().mkpath(rulesDir);
    QSaveFile file(QDir(rulesDir).filePath(QLatin1String(kFileName)));
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                        QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (!file.open(QIODevice::WriteOnly) || file.write(text().toUtf8()) < 0 || !file.commit()) {
        std::fprintf(stderr, "skeld-config: cannot write %s: %s\n",
                     qPrintable(file.fileName()), qPrintable(file.errorString()));
        return false;
    }
    std::printf("installed %s\n", qPrintable(file.fileName()));
    return true;
}

int install(const QString &executable)
{
    if (::geteuid() != 0)
        return QProcess::execute(QStringLiteral("pkexec"),
                                 {executable, QString::fromLatin1(kOption)});
    if (!write(QStringLiteral("/etc/udev/rules.d")))
        return 1;
    // Plugged-in mice get the new access at once, without a replug.
    QProcess::execute(QStringLiteral("udevadm"), {QStringLiteral("control"),
                                                  QStringLiteral("--reload-rules")});
    QProcess::execute(QStringLiteral("udevadm"),
                      {QStringLiteral("trigger"), QStringLiteral("--subsystem-match=hidraw"),
                       QStringLiteral("--action=change")});
    return 0;
}
} // namespace UdevRule
