#pragma once

#include <QByteArray>
#include <QString>

// What the HID worker needs from the window that owns it: the tray, the
// bridge's state and the UI calls. They run on the GUI thread only: the
// worker and the event reader post them there (see PostingHost).
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
    // A profile record the check read (empty when the read failed).
    virtual void hostProfileRead(unsigned int profileNo, const QByteArray &record)
    {
        Q_UNUSED(profileNo);
        Q_UNUSED(record);
    }
    virtual void hostInitUI() {}
    // The event reader lost the device.
    virtual void hostDeviceRemoved() {}
};
