#pragma once

#include "platform/EvdevScanCodes.h"
#include "platform/InputSource.h"

#include <QObject>

// Where the desktop does not let a program see global input (Wayland, the
// offscreen platform), the keys and buttons that reach the program's own
// windows still feed the translation.
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
    InputSink &m_sink;
    EvdevKeyFeeder m_keys;
    bool m_installed = false;
};
