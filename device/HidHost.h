#pragma once

#include <QString>

// What the HID worker needs from the window that owns it: the tray, the
// bridge's state and the UI calls. The worker calls these on the GUI thread
// only; the event reader posts its calls there first.
class HidHost
{
public:
    virtual ~HidHost() = default;

    virtual void showTrayMessage(const QString &title, const QString &text, int msecs) = 0;
    virtual void hostSetCurrentDPI(int stage) = 0;
    virtual void hostSetRight(bool right) = 0;
    virtual void hostRunUI() = 0;
    virtual void hostSetViewEnabled(bool enabled) = 0;
    virtual int hostCurrentProfile() const = 0;
    virtual QString hostIcType() const = 0;

    // What the device check needs besides the above. Defaults do nothing so
    // a host that never runs a check need not care.
    virtual void hostClearHidBusy() {}
    virtual void hostSetDeviceConnected(bool connected) { Q_UNUSED(connected); }
    virtual void hostReadProfile(unsigned int profileNo) { Q_UNUSED(profileNo); }
    virtual void hostInitUI() {}
};
