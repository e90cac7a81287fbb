#include "settings/DpiNotifications.h"

#include <QMutex>
#include <array>

namespace {
QMutex mutex;
std::array<QString, DpiNotifications::kCount> &texts()
{
    static std::array<QString, DpiNotifications::kCount> t = [] {
        std::array<QString, DpiNotifications::kCount> init;
        init.fill(QStringLiteral("DPI Switch to"));
        return init;
    }();
    return t;
}
} // namespace

namespace DpiNotifications {
QString text(int k)
{
    QMutexLocker lock(&mutex);
    if (k < 0 || k >= kCount)
        k = kCount - 1;
    return texts()[size_t(k)];
}

void replace(const QStringList &list)
{
    QMutexLocker lock(&mutex);
    for (int k = 0; k < kCount && k < list.size(); ++k)
        texts()[size_t(k)] = list.at(k);
}

void resetToDefaults()
{
    QMutexLocker lock(&mutex);
    texts().fill(QStringLiteral("DPI Switch to"));
}
} // namespace DpiNotifications
