#include "gun/GunStore.h"

#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsStores.h"
#include "settings/SettingsValue.h"

#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcGun, "skeld.gun")

namespace {
constexpr qsizetype kPresetItems = 6;

QString presetKey(const QString &name) { return QStringLiteral("gunData/") + name; }

QStringList texts(const QVariantList &items, qsizetype from, qsizetype to)
{
    QStringList out;
    for (qsizetype i = from; i < to; ++i)
        out << items.at(i).toString();
    return out;
}

bool present()
{
    if (GunStore::exists())
        return true;
    qCDebug(lcGun).noquote() << QStringLiteral("config: no %1 - gun presets unavailable")
                                    .arg(GunStore::filePath());
    return false;
}
} // namespace

namespace GunStore {
QString filePath() { return QStringLiteral("./modules/gun/gunData.bin"); }

bool exists() { return QFileInfo(filePath()).isFile(); }

std::optional<std::array<quint8, 4>> save(const QVariant &index, const QVariantList &src6)
{
    if (!present())
        return std::nullopt;
    bool indexOk = false;
    const qint64 slot = index.toLongLong(&indexOk);
    if (!indexOk || slot < 0 || src6.size() < kPresetItems) {
        qCDebug(lcGun).noquote() << QStringLiteral("gun: preset %1 with %2 items refused")
                                        .arg(index.toString())
                                        .arg(src6.size());
        return std::nullopt;
    }
    SettingsFile file(filePath());
    if (!file.setValue(presetKey(QString::number(slot)), texts(src6, 0, kPresetItems)))
        return std::nullopt; // the mouse is told only about a preset that is stored
    const auto gunY = quint32(src6.at(4).toLongLong());
    return std::array<quint8, 4>{0, 0, quint8(~gunY), quint8(slot + 1)};
}

bool modify(const QVariant &modifyType, const QVariantList &src6)
{
    if (!present())
        return false;
    const QString name = src6.isEmpty() ? QString() : src6.at(0).toString();
    bool typeOk = false;
    const int type = modifyType.toInt(&typeOk);
    const qsizetype needed = !typeOk ? kPresetItems : type == 0 ? 1 : type == 1 ? 7 : kPresetItems;
    if (name.isEmpty() || src6.size() < needed) {
        qCDebug(lcGun).noquote() << QStringLiteral("gun: change %1 of \"%2\" with %3 items refused")
                                        .arg(modifyType.toString(), name)
                                        .arg(src6.size());
        return false;
    }
    // A rename is one write: the old preset never vanishes without the new.
    SettingsFile file(filePath());
    return file.edit([&](QSettings &s) {
        if (typeOk && type == 0) {
            s.remove(presetKey(name));
            return;
        }
        if (typeOk && type == 1)
            s.remove(presetKey(src6.at(6).toString()));
        s.setValue(presetKey(name), texts(src6, 1, kPresetItems));
    });
}

QVariantList get(const QVariant &name)
{
    if (!exists())
        return {};
    const SettingsFile file(filePath());
    QVariantList out;
    for (const QString &item : settingsValueList(file.value(presetKey(name.toString()))))
        out << item;
    return out;
}

QStringList keys()
{
    if (!exists())
        return {};
    SettingsFile file(filePath());
    file.beginGroup(QStringLiteral("gunData"));
    return file.childKeys();
}
} // namespace GunStore

// Bridge operations ---------------------------------------------------------

void myQQuickView::mouseSaveGundata(QVariant index, QVariantList src6)
{
    const auto bytes = GunStore::save(index, src6);
    if (!bytes || !hid)
        return;
    // Sent whatever the device family, as the preset store has always done.
    hid->hid553_04H_SetGunData((*bytes)[0], (*bytes)[1], (*bytes)[2], (*bytes)[3]);
}

void myQQuickView::modifyGundata(QVariant modifyType, QVariantList src6)
{
    GunStore::modify(modifyType, src6);
}

QVariantList myQQuickView::getGunData(QVariant name) { return GunStore::get(name); }

QStringList myQQuickView::getGunDataKey() { return GunStore::keys(); }

QVariant myQQuickView::getXYSensitive(QVariant index)
{
    const QVariant v = m_stores->current().value(QStringLiteral("XYSensitive/") + index.toString());
    return v.isValid() ? SettingsStores::normalize(v) : QVariant(4);
}

void myQQuickView::setXYSensitive(QVariant index, QVariant xyData)
{
    m_stores->current().setValue(QStringLiteral("XYSensitive/") + index.toString(), xyData);
}

QVariant myQQuickView::getselectGun(QVariant index)
{
    const QVariant v = m_stores->current().value(QStringLiteral("selectGun/") + index.toString());
    return v.isValid() ? SettingsStores::normalize(v) : QVariant(QStringLiteral(""));
}

void myQQuickView::setSelectGun(QVariant index, QVariant xyData)
{
    m_stores->current().setValue(QStringLiteral("selectGun/") + index.toString(), xyData);
}
