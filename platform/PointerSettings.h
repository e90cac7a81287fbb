#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// The desktop's pointer settings the system settings page adjusts. Each
// setter returns false when the value is not stored and in effect, and then
// failureReason() says why, in words the page and the tool can show.
class PointerSettings
{
public:
    virtual ~PointerSettings() = default;
    virtual const char *name() const = 0;
    // speed 1 (slowest) .. 20 (fastest), 10 being the desktop's default
    virtual bool setCursorSpeed(int speed) = 0;
    virtual bool setDoubleClickTime(int milliseconds) = 0;
    virtual bool setWheelScrollLines(uint lines) = 0;

    // Why the last setter returned false; empty after one that succeeded.
    const QString &failureReason() const { return m_reason; }

protected:
    // Logs the reason (category skeld.platform.pointer) and returns false.
    bool refuse(const QString &reason);
    bool done()
    {
        m_reason.clear();
        return true;
    }

private:
    QString m_reason;
};

// GNOME's org.gnome.desktop.peripherals.mouse: speed and double-click time.
// It has no wheel-lines setting.
class GSettingsPointerSettings : public PointerSettings
{
public:
    static constexpr const char *schemaId = "org.gnome.desktop.peripherals.mouse";
    // The schema is installed and has both keys.
    static bool available();

    GSettingsPointerSettings();
    ~GSettingsPointerSettings() override;

    const char *name() const override { return "GSettings"; }
    bool setCursorSpeed(int speed) override;
    bool setDoubleClickTime(int milliseconds) override;
    bool setWheelScrollLines(uint lines) override;

    // speed 1..20 onto GSettings' -1..1 with 10 at the desktop's default 0
    static double gsettingsSpeed(int speed);

private:
    void *m_settings = nullptr; // GSettings*
};

// The X server's pointer acceleration: the speed only. Other X11 desktops
// keep double-click time and wheel lines per toolkit, out of our reach.
class X11PointerSettings : public PointerSettings
{
public:
    // An empty display name means $DISPLAY.
    explicit X11PointerSettings(const QByteArray &displayName = QByteArray());

    const char *name() const override { return "X11 pointer control"; }
    bool setCursorSpeed(int speed) override;
    bool setDoubleClickTime(int milliseconds) override;
    bool setWheelScrollLines(uint lines) override;

    // The acceleration set for a speed: speed / 10, so the default 10 is 1:1.
    static constexpr int accelDenominator = 10;

private:
    QByteArray m_displayName;
};

// KDE Plasma 5 and 6: the values go where Plasma's own settings modules keep
// them, and the running session is told. The pointer speed is libinput's
// acceleration -1..1 (kcminputrc [Mouse] XLbInptPointerAcceleration, which
// Plasma applies at login on X11); on Wayland KWin applies it to each mouse
// through its input-device D-Bus interface and keeps it per device itself; on
// X11 it goes to the mice's libinput property. Double-click time and wheel
// lines live in kdeglobals [KDE] and reach running programs through the
// change notification Plasma's settings modules broadcast.
class PlasmaPointerSettings : public PointerSettings
{
public:
    // An empty config dir means $XDG_CONFIG_HOME (or ~/.config); an empty
    // display name means $DISPLAY.
    explicit PlasmaPointerSettings(bool waylandSession, const QString &configDir = QString(),
                                   const QByteArray &displayName = QByteArray());

    const char *name() const override { return "KDE Plasma"; }
    bool setCursorSpeed(int speed) override;
    bool setDoubleClickTime(int milliseconds) override;
    bool setWheelScrollLines(uint lines) override;

    // speed 1..20 onto libinput's -1..1 with 10 at the default 0, as stored
    static QByteArray plasmaAcceleration(int speed);

    static constexpr const char *kwinService = "org.kde.KWin";
    static constexpr const char *kwinDevicesPath = "/org/kde/KWin/InputDevice";
    static constexpr const char *kwinManagerInterface = "org.kde.KWin.InputDeviceManager";
    static constexpr const char *kwinDeviceInterface = "org.kde.KWin.InputDevice";
    static constexpr const char *notifyPath = "/KGlobalSettings";
    static constexpr const char *notifyInterface = "org.kde.KGlobalSettings";
    static constexpr const char *notifySignal = "notifyChange";
    // KGlobalSettings' change type "settings" with its category "mouse".
    static constexpr int notifySettingsChanged = 3;
    static constexpr int notifyMouseCategory = 0;

private:
    QString configFile(const char *name) const;
    bool storeAndAnnounce(const char *setting, const QByteArray &key, const QByteArray &value);
    bool applyThroughKWin(double acceleration);
    bool applyThroughX(int speed, double acceleration);

    bool m_wayland;
    QString m_configDir;
    QByteArray m_displayName;
};

// Stores nothing: every setter fails with the reason it was made with.
class NoPointerSettings : public PointerSettings
{
public:
    explicit NoPointerSettings(const QString &reason = QStringLiteral("no desktop settings found"))
        : m_why(reason)
    {
    }
    const char *name() const override { return "none"; }
    bool setCursorSpeed(int) override { return refuse(m_why); }
    bool setDoubleClickTime(int) override { return refuse(m_why); }
    bool setWheelScrollLines(uint) override { return refuse(m_why); }

private:
    QString m_why;
};

// What decides where pointer settings go: XDG_CURRENT_DESKTOP (a
// colon-separated list), XDG_SESSION_TYPE and the displays present.
struct DesktopSession {
    QString currentDesktop;
    QString sessionType;
    bool x11Display = false;
    bool waylandDisplay = false;

    static DesktopSession fromEnvironment();
    bool isWayland() const;
    bool isX11() const;
};

enum class PointerDesktop { Plasma, Gnome, X11, Unsupported };

// KDE in the desktop list: Plasma. GNOME with its schema installed: GSettings.
// Any other desktop on X11: the X server. Anything else (another Wayland
// desktop, no session): none.
PointerDesktop pointerDesktopFor(const DesktopSession &session);
std::unique_ptr<PointerSettings> createPointerSettings(const DesktopSession &session);

// The back end in use, chosen from the environment on first use.
PointerSettings &systemPointerSettings();
// Replaces the back end (tools and tests choose their own).
void setSystemPointerSettings(std::unique_ptr<PointerSettings> settings);
