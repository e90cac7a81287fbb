#pragma once

#include <QtGlobal>
#include <memory>

// Receives key and button events in the shape the translation layer knows:
// a key event is (hook code, message, set-1 scan code, flags), a button
// event is (hook code, message, x, y) with the messages below.
class InputSink
{
public:
    static constexpr quint32 KeyDownMessage = 0x100;
    static constexpr quint32 KeyUpMessage = 0x101;
    static constexpr quint32 SysKeyDownMessage = 0x104;
    static constexpr quint32 SysKeyUpMessage = 0x105;
    static constexpr quint32 ExtendedFlag = 0x01;
    static constexpr quint32 AltDownFlag = 0x20;

    static constexpr quint32 LeftDownMessage = 0x201;
    static constexpr quint32 LeftUpMessage = 0x202;
    static constexpr quint32 LeftDoubleClickMessage = 0x203;
    static constexpr quint32 RightDownMessage = 0x204;
    static constexpr quint32 RightUpMessage = 0x205;
    static constexpr quint32 RightDoubleClickMessage = 0x206;
    static constexpr quint32 MiddleDownMessage = 0x207;
    static constexpr quint32 MiddleUpMessage = 0x208;
    static constexpr quint32 MiddleDoubleClickMessage = 0x209;
    static constexpr quint32 MouseMoveMessage = 0x200;
    static constexpr quint32 WheelMessage = 0x20A;

    virtual ~InputSink() = default;
    virtual void keyboardEvent(int hookCode, quint32 message, quint32 scanCode, quint32 flags) = 0;
    virtual void mouseEvent(int hookCode, quint32 message, qint32 x, qint32 y) = 0;
};

// One way of seeing the user's keys and buttons. Stops when destroyed.
class InputSource
{
public:
    virtual ~InputSource() = default;
    virtual bool start() = 0;
    virtual const char *name() const = 0;
};

// On X11 the raw events of the whole desktop (a second X connection);
// elsewhere an application-wide filter on the program's own windows.
std::unique_ptr<InputSource> createInputSource(InputSink &sink);
