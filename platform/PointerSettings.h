#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// The desktop's pointer settings the system settings page adjusts. Each
// setter returns false when the desktop cannot store the value.
class PointerSettings
{
public:
    virtual ~PointerSettings() = default;
    virtual const char *name() const = 0;
    // speed 1 (slowest) .. 20 (fastest), 10 being the desktop's default
    virtual bool setCursorSpeed(int speed) = 0;
    virtual bool setDoubleClickTime(int milliseconds) = 0;
    virtual bool setWheelScrollLines(uint lines) = 0;
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

// The X server's pointer acceleration: the speed only.
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

// Stores nothing: every setter fails.
class NoPointerSettings : public PointerSettings
{
public:
    const char *name() const override { return "none"; }
    bool setCursorSpeed(int) override { return false; }
    bool setDoubleClickTime(int) override { return false; }
    bool setWheelScrollLines(uint) override { return false; }
};

// The back end in use: GSettings when its schema is installed, else the X
// server's pointer control when there is an X display, else none.
PointerSettings &systemPointerSettings();
// Replaces the back end (tools and tests choose their own).
void setSystemPointerSettings(std::unique_ptr<PointerSettings> settings);
