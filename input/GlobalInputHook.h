#pragma once

#include "platform/CopyDataEndpoint.h"
#include "platform/InputSource.h"

#include <QObject>
#include <QString>
#include <array>
#include <memory>
#include <optional>

class QCoreApplication;

// The text of a copy-data record tagged 0x250F: well-formed UTF-8 of exactly
// cbData bytes followed by a zero byte. Anything else gives nothing. Never
// looks at more than cbData + 1 bytes, however many the record holds.
std::optional<QString> copyDataText(const CopyDataRecord &record);

// Sees every key press and release and the main mouse buttons of the
// desktop (where the platform allows it), turns them into HID usage codes
// and button codes and hands them to the callbacks. It also takes the text
// messages other processes send to the running instance.
class GlobalInputHook : public QObject, public InputSink
{
    Q_OBJECT
public:
    using KeyboardCallback = void (*)(quint8 usbCode, quint8 isDown, void *context);
    using MouseCallback = void (*)(quint8 buttonCode, quint8 isDown, qint32 x, qint32 y,
                                   void *context);
    using CopyDataCallback = void (*)(const CopyDataRecord *record, void *context);
    using SourceFactory = std::unique_ptr<InputSource> (*)(InputSink &sink);

    static constexpr quint64 copyDataTag = 0x250F;

    // Installs the hooks at once, from the platform's source unless a
    // factory is given (tests feed the translation directly).
    explicit GlobalInputHook(SourceFactory factory = nullptr, QObject *parent = nullptr);
    ~GlobalInputHook() override;

    // Removes what is installed first; false (and nothing installed) when
    // the platform gives no source.
    bool installHooks();
    void removeHooks();
    bool hooksInstalled() const { return m_source != nullptr; }
    QString sourceName() const;

    void setKeyboardCallback(KeyboardCallback callback, void *context);
    void setMouseCallback(MouseCallback callback, void *context);
    // Starts taking copy-data records on the endpoint of this instance.
    void setCopyDataCallback(CopyDataCallback callback, QCoreApplication *app, void *context);
    // Where the copy-data endpoint listens; by default a name derived from
    // the executable's path, like the single-instance identity.
    void setCopyDataServerName(const QString &name) { m_copyDataName = name; }
    CopyDataEndpoint *copyDataEndpoint() const { return m_endpoint.get(); }

    // InputSink: the translation of one low-level event.
    void keyboardEvent(int hookCode, quint32 message, quint32 scanCode, quint32 flags) override;
    void mouseEvent(int hookCode, quint32 message, qint32 x, qint32 y) override;
    // True when the record was consumed (a copy-data callback is set).
    bool copyDataMessage(const CopyDataRecord &record);

private:
    SourceFactory m_factory;
    std::unique_ptr<InputSource> m_source;
    std::array<bool, 256> m_keyDown{};
    KeyboardCallback m_keyboard = nullptr;
    void *m_keyboardContext = nullptr;
    MouseCallback m_mouse = nullptr;
    void *m_mouseContext = nullptr;
    CopyDataCallback m_copyData = nullptr;
    void *m_copyDataContext = nullptr;
    QString m_copyDataName;
    std::unique_ptr<CopyDataEndpoint> m_endpoint;
};
