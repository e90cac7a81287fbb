#include "input/GlobalInputHook.h"

#include "input/KeyTables.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QStringDecoder>

Q_LOGGING_CATEGORY(lcInput, "skeld.input")

namespace
{
struct Button {
    quint8 code;
    quint8 isDown;
};

// Indexed by message - 0x201. Double-clicks carry no button: the press that
// started them was already reported and the release still will be.
constexpr std::array<Button, 8> kButtons{{
    {0xF0, 1}, // left down
    {0xF0, 0}, // left up
    {0x00, 0}, // left double-click
    {0xF1, 1}, // right down
    {0xF1, 0}, // right up
    {0x00, 0}, // right double-click
    {0xF2, 1}, // middle down
    {0xF2, 0}, // middle up
}};
} // namespace

std::optional<QString> copyDataText(const CopyDataRecord &record)
{
    if (record.dwData != GlobalInputHook::copyDataTag) return std::nullopt;
    // The text ends at the first zero byte, looked for no further than the
    // one byte that follows the claimed length.
    const qsizetype limit = std::min<qsizetype>(record.bytes.size(), qsizetype(record.cbData) + 1);
    const QByteArrayView window(record.bytes.constData(), limit);
    const qsizetype end = window.indexOf('\0');
    if (end < 0) return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(window.first(end));
    if (decoder.hasError()) return std::nullopt;
    if (text.toUtf8().size() != qsizetype(record.cbData)) return std::nullopt;
    return text;
}

GlobalInputHook::GlobalInputHook(SourceFactory factory, QObject *parent)
    : QObject(parent), m_factory(factory ? factory : &createInputSource)
{
    installHooks();
}

GlobalInputHook::~GlobalInputHook()
{
    removeHooks();
}

bool GlobalInputHook::installHooks()
{
    removeHooks();
    std::unique_ptr<InputSource> source = m_factory(*this);
    if (!source || !source->start()) return false;
    m_source = std::move(source);
    qCDebug(lcInput) << "input: key and button events from" << m_source->name();
    return true;
}

void GlobalInputHook::removeHooks()
{
    m_source.reset();
}

QString GlobalInputHook::sourceName() const
{
    return m_source ? QString::fromLatin1(m_source->name()) : QString();
}

void GlobalInputHook::setKeyboardCallback(KeyboardCallback callback, void *context)
{
    m_keyboard = callback;
    m_keyboardContext = context;
}

void GlobalInputHook::setMouseCallback(MouseCallback callback, void *context)
{
    m_mouse = callback;
    m_mouseContext = context;
}

void GlobalInputHook::setCopyDataCallback(CopyDataCallback callback, QCoreApplication *app,
                                          void *context)
{
    m_copyData = callback;
    m_copyDataContext = context;
    if (!app || m_endpoint) return;
    const QString name = m_copyDataName.isEmpty()
                             ? CopyDataEndpoint::serverNameFor(app->applicationFilePath())
                             : m_copyDataName;
    m_endpoint = std::make_unique<CopyDataEndpoint>(
        name, [this](const CopyDataRecord &record) { copyDataMessage(record); });
    m_endpoint->listen();
}

void GlobalInputHook::keyboardEvent(int hookCode, quint32 message, quint32 scanCode, quint32 flags)
{
    // Key-down and system key-down (Alt held) differ only in bit 2.
    const bool isDown = hookCode == 0 && (message & ~quint32(0x4)) == InputSink::KeyDownMessage;
    const bool extended = flags & InputSink::ExtendedFlag;
    // Codes beyond one byte belong to no key of the table: only the extended
    // flag survives into the map key.
    const quint32 scan = scanCode > 255 ? 0 : scanCode;
    const quint16 key = quint16((scan << 8) | (extended ? 1 : 0));
    quint8 internal = KeyTables::internalCode(key);
    // Ctrl+Pause arrives as an extended Scroll Lock and Alt+Print as SysRq.
    if (scan == 0x46 && extended) internal = 19;
    if (scan == 0x54 && (flags & InputSink::AltDownFlag)) internal = 44;
    if (internal == 0) return;
    const quint8 usage = KeyTables::usageCode(internal);
    // Auto-repeat sends downs while a key is held; only changes count.
    if (usage == 0 || m_keyDown[usage] == isDown) return;
    m_keyDown[usage] = isDown;
    if (m_keyboard) m_keyboard(usage, isDown ? 1 : 0, m_keyboardContext);
}

void GlobalInputHook::mouseEvent(int hookCode, quint32 message, qint32 x, qint32 y)
{
    Q_UNUSED(hookCode);
    if (message < InputSink::LeftDownMessage || message > InputSink::MiddleUpMessage) return;
    const Button b = kButtons[message - InputSink::LeftDownMessage];
    if (b.code != 0 && m_mouse) m_mouse(b.code, b.isDown, x, y, m_mouseContext);
}

bool GlobalInputHook::copyDataMessage(const CopyDataRecord &record)
{
    if (!m_copyData) return false;
    m_copyData(&record, m_copyDataContext);
    return true;
}
