#include "platform/PointerSettings.h"

#include "platform/KdeConfigFile.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <algorithm>

// gio's headers use "signals" as a member name, which Qt defines away.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

Q_LOGGING_CATEGORY(lcPointer, "skeld.platform.pointer")

namespace
{
constexpr const char *kSpeedKey = "speed";
constexpr const char *kDoubleClickKey = "double-click";

GSettingsSchema *lookupSchema()
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    return source
               ? g_settings_schema_source_lookup(source, GSettingsPointerSettings::schemaId, TRUE)
               : nullptr;
}

// Writes one value when the schema allows it; GSettings itself would only
// complain on stderr about a value out of range.
bool writeChecked(GSettings *settings, const char *key, GVariant *value)
{
    g_variant_ref_sink(value);
    bool ok = false;
    GSettingsSchema *schema = nullptr;
    g_object_get(settings, "settings-schema", &schema, nullptr);
    if (schema && g_settings_schema_has_key(schema, key)) {
        GSettingsSchemaKey *k = g_settings_schema_get_key(schema, key);
        ok = g_variant_is_of_type(value, g_settings_schema_key_get_value_type(k)) &&
             g_settings_schema_key_range_check(k, value) && g_settings_is_writable(settings, key) &&
             g_settings_set_value(settings, key, value);
        g_settings_schema_key_unref(k);
    }
    if (schema) g_settings_schema_unref(schema);
    g_variant_unref(value);
    if (ok) g_settings_sync();
    return ok;
}

int xErrorCode = 0;
int recordXError(Display *, XErrorEvent *e)
{
    xErrorCode = e->error_code;
    return 0;
}

QString noSuchSetting(const char *desktop, const char *setting)
{
    return QStringLiteral("this desktop (%1) has no %2 setting")
        .arg(QLatin1String(desktop), QLatin1String(setting));
}

// A blocking call with a bound: KWin answers at once or not at all.
constexpr int kBusTimeoutMs = 3000;

QDBusMessage propertiesCall(const QString &path, const char *method, const QVariantList &args)
{
    QDBusMessage m = QDBusMessage::createMethodCall(
        QLatin1String(PlasmaPointerSettings::kwinService), path,
        QStringLiteral("org.freedesktop.DBus.Properties"), QLatin1String(method));
    m.setArguments(args);
    return QDBusConnection::sessionBus().call(m, QDBus::Block, kBusTimeoutMs);
}

std::unique_ptr<PointerSettings> &current()
{
    static std::unique_ptr<PointerSettings> settings;
    return settings;
}
} // namespace

bool GSettingsPointerSettings::available()
{
    GSettingsSchema *schema = lookupSchema();
    if (!schema) return false;
    const bool ok = g_settings_schema_has_key(schema, kSpeedKey) &&
                    g_settings_schema_has_key(schema, kDoubleClickKey);
    g_settings_schema_unref(schema);
    return ok;
}

GSettingsPointerSettings::GSettingsPointerSettings()
{
    // g_settings_new aborts the process on a missing schema: look first.
    if (GSettingsSchema *schema = lookupSchema()) {
        m_settings = g_settings_new_full(schema, nullptr, nullptr);
        g_settings_schema_unref(schema);
    }
}

GSettingsPointerSettings::~GSettingsPointerSettings()
{
    if (m_settings) g_object_unref(m_settings);
}

double GSettingsPointerSettings::gsettingsSpeed(int speed)
{
    return (std::clamp(speed, 1, 20) - 10) / 10.0;
}

bool GSettingsPointerSettings::setCursorSpeed(int speed)
{
    if (!m_settings)
        return refuse(QStringLiteral("GNOME's mouse settings (%1) are not installed")
                          .arg(QLatin1String(schemaId)));
    if (!writeChecked(static_cast<GSettings *>(m_settings), kSpeedKey,
                      g_variant_new_double(gsettingsSpeed(speed))))
        return refuse(QStringLiteral("GSettings did not take the pointer speed"));
    return done();
}

bool GSettingsPointerSettings::setDoubleClickTime(int milliseconds)
{
    if (!m_settings)
        return refuse(QStringLiteral("GNOME's mouse settings (%1) are not installed")
                          .arg(QLatin1String(schemaId)));
    if (!writeChecked(static_cast<GSettings *>(m_settings), kDoubleClickKey,
                      g_variant_new_int32(milliseconds)))
        return refuse(QStringLiteral("GSettings did not take the double-click time"));
    return done();
}

bool GSettingsPointerSettings::setWheelScrollLines(uint lines)
{
    Q_UNUSED(lines);
    return refuse(noSuchSetting("GNOME", "wheel lines"));
}

X11PointerSettings::X11PointerSettings(const QByteArray &displayName) : m_displayName(displayName)
{
}

bool X11PointerSettings::setCursorSpeed(int speed)
{
    Display *dpy = XOpenDisplay(m_displayName.isEmpty() ? nullptr : m_displayName.constData());
    if (!dpy) return refuse(QStringLiteral("cannot open the X display"));
    // The server answers a bad value with an error event, not a result.
    xErrorCode = 0;
    XErrorHandler previous = XSetErrorHandler(recordXError);
    XChangePointerControl(dpy, True, False, std::clamp(speed, 1, 20), accelDenominator, 0);
    XSync(dpy, False);
    XSetErrorHandler(previous);
    XCloseDisplay(dpy);
    if (xErrorCode != 0) return refuse(QStringLiteral("the X server refused the pointer speed"));
    return done();
}

bool X11PointerSettings::setDoubleClickTime(int milliseconds)
{
    Q_UNUSED(milliseconds);
    return refuse(noSuchSetting("X11", "double-click time"));
}

bool X11PointerSettings::setWheelScrollLines(uint lines)
{
    Q_UNUSED(lines);
    return refuse(noSuchSetting("X11", "wheel lines"));
}

PlasmaPointerSettings::PlasmaPointerSettings(bool waylandSession, const QString &configDir,
                                             const QByteArray &displayName)
    : m_wayland(waylandSession), m_configDir(configDir), m_displayName(displayName)
{
}

QByteArray PlasmaPointerSettings::plasmaAcceleration(int speed)
{
    // Three decimals, as Plasma writes it.
    return QByteArray::number((std::clamp(speed, 1, 20) - 10) / 10.0, 'f', 3);
}

QString PlasmaPointerSettings::configFile(const char *name) const
{
    const QString dir = m_configDir.isEmpty()
                            ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                            : m_configDir;
    return dir + QLatin1Char('/') + QLatin1String(name);
}

bool PlasmaPointerSettings::setCursorSpeed(int speed)
{
    const QByteArray acceleration = plasmaAcceleration(speed);
    const QString file = configFile("kcminputrc");
    switch (KdeConfigFile::setEntry(file, "Mouse", "XLbInptPointerAcceleration", acceleration)) {
    case KdeConfigFile::Result::Locked:
        return refuse(QStringLiteral("cannot change the pointer speed: it is locked in %1")
                          .arg(file));
    case KdeConfigFile::Result::WriteFailed:
        return refuse(QStringLiteral("cannot write %1").arg(file));
    case KdeConfigFile::Result::Written:
        break;
    }
    return m_wayland ? applyThroughKWin(acceleration.toDouble())
                     : applyThroughX(std::clamp(speed, 1, 20), acceleration.toDouble());
}

bool PlasmaPointerSettings::applyThroughKWin(double acceleration)
{
    if (!QDBusConnection::sessionBus().isConnected())
        return refuse(QStringLiteral("there is no D-Bus session bus to reach KWin"));
    const QDBusMessage names = propertiesCall(
        QLatin1String(kwinDevicesPath), "Get",
        {QLatin1String(kwinManagerInterface), QStringLiteral("devicesSysNames")});
    if (names.type() != QDBusMessage::ReplyMessage || names.arguments().isEmpty())
        return refuse(QStringLiteral("KWin's input devices are not on the session bus (%1)")
                          .arg(names.errorMessage()));
    const QStringList sysNames =
        names.arguments().constFirst().value<QDBusVariant>().variant().toStringList();
    int applied = 0;
    for (const QString &sysName : sysNames) {
        const QString path = QLatin1String(kwinDevicesPath) + QLatin1Char('/') + sysName;
        const QDBusMessage all =
            propertiesCall(path, "GetAll", {QLatin1String(kwinDeviceInterface)});
        if (all.type() != QDBusMessage::ReplyMessage || all.arguments().isEmpty()) continue;
        const QVariantMap p = qdbus_cast<QVariantMap>(all.arguments().constFirst());
        // The mouse speed is not the touchpad's: Plasma keeps those apart.
        if (!p.value(QStringLiteral("pointer")).toBool() ||
            p.value(QStringLiteral("touchpad")).toBool() ||
            !p.value(QStringLiteral("supportsPointerAcceleration")).toBool())
            continue;
        // KWin applies it at once and keeps it in the device's own group of
        // kcminputrc for the next session.
        const QDBusMessage set = propertiesCall(
            path, "Set",
            {QLatin1String(kwinDeviceInterface), QStringLiteral("pointerAcceleration"),
             QVariant::fromValue(QDBusVariant(acceleration))});
        if (set.type() == QDBusMessage::ReplyMessage) ++applied;
    }
    if (applied == 0)
        return refuse(QStringLiteral("KWin reports no mouse that takes a pointer speed"));
    return done();
}

bool PlasmaPointerSettings::applyThroughX(int speed, double acceleration)
{
    Display *dpy = XOpenDisplay(m_displayName.isEmpty() ? nullptr : m_displayName.constData());
    if (!dpy) return refuse(QStringLiteral("cannot open the X display"));
    xErrorCode = 0;
    XErrorHandler previous = XSetErrorHandler(recordXError);
    int applied = 0;
    // Plasma's X11 mice run on the libinput driver, which ignores the core
    // pointer control and takes its speed as a device property.
    int major = 2;
    int minor = 0;
    const Atom accel = XInternAtom(dpy, "libinput Accel Speed", True);
    const Atom tapping = XInternAtom(dpy, "libinput Tapping Enabled", True);
    if (accel != None && XIQueryVersion(dpy, &major, &minor) == Success) {
        int count = 0;
        XIDeviceInfo *devices = XIQueryDevice(dpy, XIAllDevices, &count);
        for (int i = 0; devices && i < count; ++i) {
            if (devices[i].use != XISlavePointer) continue;
            auto has = [&](Atom property, Atom *type, int *format) {
                unsigned long items = 0;
                unsigned long after = 0;
                unsigned char *data = nullptr;
                const bool found =
                    XIGetProperty(dpy, devices[i].deviceid, property, 0, 1, False,
                                  AnyPropertyType, type, format, &items, &after, &data) ==
                        Success &&
                    *type != None;
                if (data) XFree(data);
                return found;
            };
            Atom type = None;
            int format = 0;
            Atom tapType = None;
            int tapFormat = 0;
            if (!has(accel, &type, &format) || format != 32) continue;
            if (tapping != None && has(tapping, &tapType, &tapFormat)) continue; // a touchpad
            float value = float(acceleration);
            XIChangeProperty(dpy, devices[i].deviceid, accel, type, 32, PropModeReplace,
                             reinterpret_cast<unsigned char *>(&value), 1);
            ++applied;
        }
        if (devices) XIFreeDeviceInfo(devices);
    }
    // Mice of other drivers follow the server's own acceleration.
    if (applied == 0)
        XChangePointerControl(dpy, True, False, speed, X11PointerSettings::accelDenominator, 0);
    XSync(dpy, False);
    XSetErrorHandler(previous);
    XCloseDisplay(dpy);
    if (xErrorCode != 0) return refuse(QStringLiteral("the X server refused the pointer speed"));
    return done();
}

bool PlasmaPointerSettings::storeAndAnnounce(const char *setting, const QByteArray &key,
                                             const QByteArray &value)
{
    const QString file = configFile("kdeglobals");
    switch (KdeConfigFile::setEntry(file, "KDE", key, value)) {
    case KdeConfigFile::Result::Locked:
        return refuse(QStringLiteral("cannot change the %1: it is locked in %2")
                          .arg(QLatin1String(setting), file));
    case KdeConfigFile::Result::WriteFailed:
        return refuse(QStringLiteral("cannot write %1").arg(file));
    case KdeConfigFile::Result::Written:
        break;
    }
    // Running KDE programs re-read their mouse settings on this broadcast;
    // without it the value only counts for programs started later.
    QDBusMessage notify = QDBusMessage::createSignal(
        QLatin1String(notifyPath), QLatin1String(notifyInterface), QLatin1String(notifySignal));
    notify << notifySettingsChanged << notifyMouseCategory;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.send(notify))
        return refuse(QStringLiteral("%1 saved in %2, but there is no D-Bus session bus to "
                                     "tell running programs")
                          .arg(QLatin1String(setting), file));
    return done();
}

bool PlasmaPointerSettings::setDoubleClickTime(int milliseconds)
{
    return storeAndAnnounce("double-click time", "DoubleClickInterval",
                            QByteArray::number(milliseconds));
}

bool PlasmaPointerSettings::setWheelScrollLines(uint lines)
{
    return storeAndAnnounce("wheel lines", "WheelScrollLines", QByteArray::number(lines));
}

bool PointerSettings::refuse(const QString &reason)
{
    m_reason = reason;
    qCDebug(lcPointer).noquote() << "pointer:" << reason;
    return false;
}

DesktopSession DesktopSession::fromEnvironment()
{
    DesktopSession s;
    s.currentDesktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    s.sessionType = qEnvironmentVariable("XDG_SESSION_TYPE").toLower();
    s.x11Display = !qEnvironmentVariableIsEmpty("DISPLAY");
    s.waylandDisplay = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    return s;
}

bool DesktopSession::isWayland() const
{
    return sessionType == QLatin1String("wayland") ||
           (sessionType != QLatin1String("x11") && waylandDisplay);
}

bool DesktopSession::isX11() const
{
    // Xwayland gives a Wayland session an X display too; its pointer
    // control reaches X programs only.
    return !isWayland() && x11Display;
}

PointerDesktop pointerDesktopFor(const DesktopSession &session)
{
    const QStringList desktops =
        session.currentDesktop.toUpper().split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (desktops.contains(QLatin1String("KDE"))) return PointerDesktop::Plasma;
    if (desktops.contains(QLatin1String("GNOME")) && GSettingsPointerSettings::available())
        return PointerDesktop::Gnome;
    if (session.isX11()) return PointerDesktop::X11;
    return PointerDesktop::Unsupported;
}

std::unique_ptr<PointerSettings> createPointerSettings(const DesktopSession &session)
{
    switch (pointerDesktopFor(session)) {
    case PointerDesktop::Plasma:
        return std::make_unique<PlasmaPointerSettings>(session.isWayland());
    case PointerDesktop::Gnome:
        return std::make_unique<GSettingsPointerSettings>();
    case PointerDesktop::X11:
        return std::make_unique<X11PointerSettings>();
    case PointerDesktop::Unsupported:
        break;
    }
    if (session.currentDesktop.isEmpty() && !session.isWayland())
        return std::make_unique<NoPointerSettings>(
            QStringLiteral("no desktop session (XDG_CURRENT_DESKTOP is empty and there is no "
                           "X display)"));
    return std::make_unique<NoPointerSettings>(
        QStringLiteral("this desktop (%1 on %2) offers no pointer settings to other programs")
            .arg(session.currentDesktop.isEmpty() ? QStringLiteral("unknown")
                                                  : session.currentDesktop,
                 session.isWayland() ? QStringLiteral("Wayland")
                                     : QStringLiteral("no X display")));
}

PointerSettings &systemPointerSettings()
{
    std::unique_ptr<PointerSettings> &s = current();
    if (!s) {
        s = createPointerSettings(DesktopSession::fromEnvironment());
        qCDebug(lcPointer) << "pointer: settings go to" << s->name();
    }
    return *s;
}

void setSystemPointerSettings(std::unique_ptr<PointerSettings> settings)
{
    current() = std::move(settings);
}
