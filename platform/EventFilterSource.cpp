#include "platform/EventFilterSource.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QQuickRenderControl>
#include <QQuickWindow>

namespace
{
// X11 and Wayland key codes are evdev codes shifted by 8.
constexpr quint32 kEvdevOffset = 8;

struct KeyPair {
    int qtKey;
    int evdev;
};

// Enough for recording: letters, digits, the editing and navigation block,
// function keys and modifiers (left ones: Qt does not tell the sides apart).
// clang-format off
constexpr KeyPair kMainKeys[] = {
    {Qt::Key_Escape, 1},      {Qt::Key_1, 2},          {Qt::Key_2, 3},
    {Qt::Key_3, 4},           {Qt::Key_4, 5},          {Qt::Key_5, 6},
    {Qt::Key_6, 7},           {Qt::Key_7, 8},          {Qt::Key_8, 9},
    {Qt::Key_9, 10},          {Qt::Key_0, 11},         {Qt::Key_Minus, 12},
    {Qt::Key_Equal, 13},      {Qt::Key_Backspace, 14}, {Qt::Key_Tab, 15},
    {Qt::Key_Q, 16},          {Qt::Key_W, 17},         {Qt::Key_E, 18},
    {Qt::Key_R, 19},          {Qt::Key_T, 20},         {Qt::Key_Y, 21},
    {Qt::Key_U, 22},          {Qt::Key_I, 23},         {Qt::Key_O, 24},
    {Qt::Key_P, 25},          {Qt::Key_BracketLeft, 26}, {Qt::Key_BracketRight, 27},
    {Qt::Key_Return, 28},     {Qt::Key_Control, 29},   {Qt::Key_A, 30},
    {Qt::Key_S, 31},          {Qt::Key_D, 32},         {Qt::Key_F, 33},
    {Qt::Key_G, 34},          {Qt::Key_H, 35},         {Qt::Key_J, 36},
    {Qt::Key_K, 37},          {Qt::Key_L, 38},         {Qt::Key_Semicolon, 39},
    {Qt::Key_Apostrophe, 40}, {Qt::Key_QuoteLeft, 41}, {Qt::Key_Shift, 42},
    {Qt::Key_Backslash, 43},  {Qt::Key_Z, 44},         {Qt::Key_X, 45},
    {Qt::Key_C, 46},          {Qt::Key_V, 47},         {Qt::Key_B, 48},
    {Qt::Key_N, 49},          {Qt::Key_M, 50},         {Qt::Key_Comma, 51},
    {Qt::Key_Period, 52},     {Qt::Key_Slash, 53},     {Qt::Key_Alt, 56},
    {Qt::Key_Space, 57},      {Qt::Key_CapsLock, 58},  {Qt::Key_F1, 59},
    {Qt::Key_F2, 60},         {Qt::Key_F3, 61},        {Qt::Key_F4, 62},
    {Qt::Key_F5, 63},         {Qt::Key_F6, 64},        {Qt::Key_F7, 65},
    {Qt::Key_F8, 66},         {Qt::Key_F9, 67},        {Qt::Key_F10, 68},
    {Qt::Key_NumLock, 69},    {Qt::Key_ScrollLock, 70}, {Qt::Key_F11, 87},
    {Qt::Key_F12, 88},        {Qt::Key_Enter, 96},     {Qt::Key_Print, 99},
    {Qt::Key_AltGr, 100},     {Qt::Key_Home, 102},     {Qt::Key_Up, 103},
    {Qt::Key_PageUp, 104},    {Qt::Key_Left, 105},     {Qt::Key_Right, 106},
    {Qt::Key_End, 107},       {Qt::Key_Down, 108},     {Qt::Key_PageDown, 109},
    {Qt::Key_Insert, 110},    {Qt::Key_Delete, 111},   {Qt::Key_Pause, 119},
    {Qt::Key_Meta, 125},      {Qt::Key_Menu, 127},
};

// With the keypad modifier the same Qt keys come from the number block.
constexpr KeyPair kKeypadKeys[] = {
    {Qt::Key_7, 71},        {Qt::Key_8, 72},     {Qt::Key_9, 73},     {Qt::Key_Minus, 74},
    {Qt::Key_4, 75},        {Qt::Key_5, 76},     {Qt::Key_6, 77},     {Qt::Key_Plus, 78},
    {Qt::Key_1, 79},        {Qt::Key_2, 80},     {Qt::Key_3, 81},     {Qt::Key_0, 82},
    {Qt::Key_Period, 83},   {Qt::Key_Asterisk, 55}, {Qt::Key_Slash, 98}, {Qt::Key_Enter, 96},
    {Qt::Key_Home, 71},     {Qt::Key_Up, 72},    {Qt::Key_PageUp, 73}, {Qt::Key_Left, 75},
    {Qt::Key_Right, 77},    {Qt::Key_End, 79},   {Qt::Key_Down, 80},  {Qt::Key_PageDown, 81},
    {Qt::Key_Insert, 82},   {Qt::Key_Delete, 83},
};
// clang-format on

quint32 messageForButton(Qt::MouseButton button, QEvent::Type type)
{
    const bool dbl = type == QEvent::MouseButtonDblClick;
    const bool down = type == QEvent::MouseButtonPress;
    switch (button) {
    case Qt::LeftButton:
        return dbl ? InputSink::LeftDoubleClickMessage
                   : (down ? InputSink::LeftDownMessage : InputSink::LeftUpMessage);
    case Qt::RightButton:
        return dbl ? InputSink::RightDoubleClickMessage
                   : (down ? InputSink::RightDownMessage : InputSink::RightUpMessage);
    case Qt::MiddleButton:
        return dbl ? InputSink::MiddleDoubleClickMessage
                   : (down ? InputSink::MiddleDownMessage : InputSink::MiddleUpMessage);
    default:
        return 0;
    }
}
} // namespace

EventFilterSource::EventFilterSource(InputSink &sink) : m_sink(sink), m_keys(sink) {}

EventFilterSource::~EventFilterSource()
{
    if (m_installed && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool EventFilterSource::start()
{
    if (m_installed) return true;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) return false;
    app->installEventFilter(this);
    m_installed = true;
    return true;
}

int EventFilterSource::evdevForQtKey(int qtKey, bool keypad)
{
    if (keypad) {
        for (const KeyPair &k : kKeypadKeys) {
            if (k.qtKey == qtKey) return k.evdev;
        }
    }
    for (const KeyPair &k : kMainKeys) {
        if (k.qtKey == qtKey) return k.evdev;
    }
    return 0;
}

bool EventFilterSource::countsEventsOf(QObject *watched)
{
    if (!watched->isWindowType()) return false;
    // A QQuickWidget renders into a window of its own and forwards every
    // event of its top-level window to it: the same press a second time.
    auto *quick = qobject_cast<QQuickWindow *>(watched);
    return !(quick && QQuickRenderControl::renderWindowFor(quick));
}

void EventFilterSource::releaseHeld()
{
    // The releases will go to whichever window has the focus now, maybe
    // not ours; recording must not keep them down for ever.
    const QList<int> keys(m_heldKeys.begin(), m_heldKeys.end());
    m_heldKeys.clear();
    for (int evdev : keys)
        m_keys.feed(evdev, false);
    const QList<quint32> buttons(m_heldButtons.begin(), m_heldButtons.end());
    m_heldButtons.clear();
    for (quint32 up : buttons)
        m_sink.mouseEvent(0, up, m_lastPoint.x(), m_lastPoint.y());
}

bool EventFilterSource::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ApplicationDeactivate) {
        releaseHeld();
        return false;
    }
    // Qt hands one input event to the window, then to widgets and items
    // inside it; the window sees each exactly once.
    if (!countsEventsOf(watched)) return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *k = static_cast<QKeyEvent *>(event);
        // A held key repeats as release/press pairs; the user pressed once.
        if (k->isAutoRepeat()) break;
        int evdev = 0;
        const QString platform = QGuiApplication::platformName();
        if ((platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"))) &&
            k->nativeScanCode() > kEvdevOffset)
            evdev = int(k->nativeScanCode() - kEvdevOffset);
        else
            evdev = evdevForQtKey(k->key(), k->modifiers() & Qt::KeypadModifier);
        const bool down = event->type() == QEvent::KeyPress;
        // A release whose press we did not see (or already released on
        // focus loss) has nothing to end.
        if (down)
            m_heldKeys.insert(evdev);
        else if (!m_heldKeys.remove(evdev))
            break;
        m_keys.feed(evdev, down);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const auto *m = static_cast<QMouseEvent *>(event);
        const quint32 message = messageForButton(m->button(), event->type());
        if (message == 0) break;
        m_lastPoint = m->globalPosition().toPoint();
        if (event->type() == QEvent::MouseButtonPress) {
            m_heldButtons.insert(messageForButton(m->button(), QEvent::MouseButtonRelease));
        } else if (event->type() == QEvent::MouseButtonRelease) {
            if (!m_heldButtons.remove(message)) break;
        }
        m_sink.mouseEvent(0, message, m_lastPoint.x(), m_lastPoint.y());
        break;
    }
    case QEvent::FocusOut:
        releaseHeld();
        break;
    default:
        break;
    }
    return false;
}
