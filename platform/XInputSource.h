#pragma once

#include "platform/EvdevScanCodes.h"
#include "platform/InputSource.h"

#include <QByteArray>
#include <memory>

class QSocketNotifier;
struct _XDisplay;

// Raw key and button events of the whole X desktop (also while our window is
// not focused), read on a connection of our own so that Qt's connection is
// left alone. The connection's socket wakes us; nothing polls.
class XInputSource : public InputSource
{
public:
    // An empty display name means $DISPLAY.
    explicit XInputSource(InputSink &sink, const QByteArray &displayName = QByteArray());
    ~XInputSource() override;

    bool start() override;
    const char *name() const override { return "XInput2 raw events"; }

private:
    void drain();

    InputSink &m_sink;
    EvdevKeyFeeder m_keys;
    QByteArray m_displayName;
    _XDisplay *m_display = nullptr;
    int m_opcode = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
