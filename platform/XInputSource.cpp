#include "platform/XInputSource.h"

#include <QLoggingCategory>
#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

Q_LOGGING_CATEGORY(lcXInput, "skeld.platform.xinput")

namespace
{
// X key codes are evdev codes shifted by 8 on every server we target.
constexpr int kEvdevOffset = 8;
} // namespace

XInputSource::XInputSource(InputSink &sink, const QByteArray &displayName)
    : m_sink(sink), m_keys(sink), m_displayName(displayName)
{
}

XInputSource::~XInputSource()
{
    m_notifier.reset();
    if (m_display) XCloseDisplay(m_display);
}

bool XInputSource::start()
{
    if (m_display) return true;
    m_display = XOpenDisplay(m_displayName.isEmpty() ? nullptr : m_displayName.constData());
    if (!m_display) {
        qCDebug(lcXInput) << "xinput: cannot open the X display";
        return false;
    }
    int event = 0;
    int error = 0;
    int major = 2;
    // 2.2: raw events reach the root window whatever grabs are active.
    int minor = 2;
    if (!XQueryExtension(m_display, "XInputExtension", &m_opcode, &event, &error) ||
        XIQueryVersion(m_display, &major, &minor) != Success || major < 2) {
        qCDebug(lcXInput) << "xinput: the X server has no XInput 2";
        XCloseDisplay(m_display);
        m_display = nullptr;
        return false;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    XIEventMask mask;
    // Master devices only: every physical event arrives once.
    mask.deviceid = XIAllMasterDevices;
    mask.mask_len = sizeof(bits);
    mask.mask = bits;
    XISelectEvents(m_display, DefaultRootWindow(m_display), &mask, 1);
    XSync(m_display, False);

    m_notifier =
        std::make_unique<QSocketNotifier>(ConnectionNumber(m_display), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { drain(); });
    // Replies to the set-up above may already have queued events.
    drain();
    return true;
}

void XInputSource::drain()
{
    // XPending reads what the socket holds; events that arrive while we
    // query the pointer are queued by Xlib and taken by the same loop.
    while (XPending(m_display) > 0) {
        XEvent ev;
        XNextEvent(m_display, &ev);
        XGenericEventCookie *cookie = &ev.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != m_opcode ||
            !XGetEventData(m_display, cookie))
            continue;
        const auto *raw = static_cast<const XIRawEvent *>(cookie->data);
        switch (cookie->evtype) {
        case XI_RawKeyPress:
        case XI_RawKeyRelease:
            if (raw->detail > kEvdevOffset)
                m_keys.feed(raw->detail - kEvdevOffset, cookie->evtype == XI_RawKeyPress);
            break;
        case XI_RawButtonPress:
        case XI_RawButtonRelease: {
            const bool down = cookie->evtype == XI_RawButtonPress;
            quint32 message = 0;
            if (raw->detail == Button1)
                message = down ? InputSink::LeftDownMessage : InputSink::LeftUpMessage;
            else if (raw->detail == Button2)
                message = down ? InputSink::MiddleDownMessage : InputSink::MiddleUpMessage;
            else if (raw->detail == Button3)
                message = down ? InputSink::RightDownMessage : InputSink::RightUpMessage;
            if (message == 0) break; // wheel and side buttons
            // Raw events carry no position; ask where the pointer is now.
            Window root = 0;
            Window child = 0;
            int x = 0;
            int y = 0;
            int wx = 0;
            int wy = 0;
            unsigned int buttons = 0;
            XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &x, &y, &wx, &wy,
                          &buttons);
            m_sink.mouseEvent(0, message, x, y);
            break;
        }
        default:
            break;
        }
        XFreeEventData(m_display, cookie);
    }
}
