#pragma once

#include "platform/InputSource.h"

#include <QtGlobal>

// Linux reports keys as evdev codes; the translation layer wants set-1 scan
// codes with an extended flag, as a PC keyboard sends them.
struct ScanCode {
    quint16 scan = 0;
    bool extended = false;
};

// Codes 1..88 are the set-1 scan codes themselves; the keys that a PC
// keyboard sends with the E0 prefix carry the extended flag. Unknown codes
// give scan code 0, which no table knows.
ScanCode scanCodeForEvdev(int evdevCode);

// Turns evdev press/release into the key events of InputSink, tracking Alt
// so that keys pressed while it is held carry the Alt flag.
class EvdevKeyFeeder
{
public:
    explicit EvdevKeyFeeder(InputSink &sink) : m_sink(sink) {}
    void feed(int evdevCode, bool pressed);

private:
    InputSink &m_sink;
    bool m_leftAlt = false;
    bool m_rightAlt = false;
};
