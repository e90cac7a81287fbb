#include "platform/PointerSettings.h"

#include <QLoggingCategory>

#include <algorithm>

// gio's headers use "signals" as a member name, which Qt defines away.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <X11/Xlib.h>

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
    return m_settings && writeChecked(static_cast<GSettings *>(m_settings), kSpeedKey,
                                      g_variant_new_double(gsettingsSpeed(speed)));
}

bool GSettingsPointerSettings::setDoubleClickTime(int milliseconds)
{
    return m_settings && writeChecked(static_cast<GSettings *>(m_settings), kDoubleClickKey,
                                      g_variant_new_int32(milliseconds));
}

bool GSettingsPointerSettings::setWheelScrollLines(uint lines)
{
    Q_UNUSED(lines);
    return false;
}

X11PointerSettings::X11PointerSettings(const QByteArray &displayName) : m_displayName(displayName)
{
}

bool X11PointerSettings::setCursorSpeed(int speed)
{
    Display *dpy = XOpenDisplay(m_displayName.isEmpty() ? nullptr : m_displayName.constData());
    if (!dpy) {
        qCDebug(lcPointer) << "pointer: cannot open the X display";
        return false;
    }
    // The server answers a bad value with an error event, not a result.
    xErrorCode = 0;
    XErrorHandler previous = XSetErrorHandler(recordXError);
    XChangePointerControl(dpy, True, False, std::clamp(speed, 1, 20), accelDenominator, 0);
    XSync(dpy, False);
    XSetErrorHandler(previous);
    XCloseDisplay(dpy);
    return xErrorCode == 0;
}

bool X11PointerSettings::setDoubleClickTime(int milliseconds)
{
    Q_UNUSED(milliseconds);
    return false;
}

bool X11PointerSettings::setWheelScrollLines(uint lines)
{
    Q_UNUSED(lines);
    return false;
}

PointerSettings &systemPointerSettings()
{
    std::unique_ptr<PointerSettings> &s = current();
    if (!s) {
        if (GSettingsPointerSettings::available())
            s = std::make_unique<GSettingsPointerSettings>();
        else if (!qEnvironmentVariableIsEmpty("DISPLAY") &&
                 qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            s = std::make_unique<X11PointerSettings>();
        else
            s = std::make_unique<NoPointerSettings>();
        qCDebug(lcPointer) << "pointer: settings go to" << s->name();
    }
    return *s;
}

void setSystemPointerSettings(std::unique_ptr<PointerSettings> settings)
{
    current() = std::move(settings);
}
