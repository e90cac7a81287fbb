#pragma once

#include "platform/EvdevScanCodes.h"
#include "platform/InputSource.h"

#include <QObject>
#include <QPoint>
#include <QSet>

// Where the desktop does not let a program see global input (Wayland, the
// offscreen platform), the keys and buttons that reach the program's own
// windows still feed the translation: each press once (no auto-repeat, no
// second copy forwarded inside the window), and whatever is still held when
// the window loses the focus is released then.
class EventFilterSource : public QObject, public InputSource
{
    Q_OBJECT
public:
    explicit EventFilterSource(InputSink &sink);
    ~EventFilterSource() override;

    bool start() override;
    const char *name() const override { return "application event filter"; }

    // The evdev code of a Qt key for platforms that give no native code.
    static int evdevForQtKey(int qtKey, bool keypad);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static bool countsEventsOf(QObject *watched);
    void releaseHeld();

    InputSink &m_sink;
    EvdevKeyFeeder m_keys;
    bool m_installed = false;
    QSet<int> m_heldKeys;         // evdev codes
    QSet<quint32> m_heldButtons;  // the up message each needs
    QPoint m_lastPoint;
};
