#pragma once

#include "settings/FileDialogs.h"
#include "settings/SettingsStores.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QQuickView>
#include <QWidget>
#include <QSet>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QVariantList>
#include <array>
#include <memory>

class Hid_Thread;

// The bridge the UI documents call (context property "ui_View") and the
// keeper of the view that shows them. Its public slots are the UI's
// operations, declared in their fixed meta-object order; the rest of the
// system reaches the UI only through the root-object calls below. The view
// (a QQuickView with its own engine, inside the window through a window
// container) exists only while the window can be seen; the bridge and all
// it holds live as long as the program.
class myQQuickView : public QObject
{
    Q_OBJECT
    // False while the current profile is one a "560" device has no slot for:
    // it is kept on the computer only and nothing of it is sent.
    Q_PROPERTY(bool profileOnDevice READ profileOnDevice NOTIFY profileOnDeviceChanged)
    // True while a page records keys (see setKeyListener).
    Q_PROPERTY(bool keyListening READ keyListening NOTIFY keyListeningChanged)
    // Whether a mouse is connected, and its model's name for the top bar.
    Q_PROPERTY(bool connected READ connected NOTIFY connectionChanged)
    Q_PROPERTY(QString deviceName READ deviceName NOTIFY connectionChanged)
public:
    explicit myQQuickView(QObject *parent = nullptr);
    ~myQQuickView() override;

    // Objects the documents reach by name besides "ui_View" (given again to
    // every view made).
    void setContextObject(const QString &name, QObject *object);
    // Makes the view inside `host` and loads `url` into it.
    bool loadScene(QWidget *host, const QUrl &url);
    // The view's place in the window, the view and its document; null while
    // released or without a window.
    QWidget *widget() const { return m_widget; }
    QQuickView *quickWindow() const { return m_scene; }
    QQuickItem *rootObject() const { return m_scene ? m_scene->rootObject() : nullptr; }
    // Loads another document into the view (tests), keeping the window.
    void setSource(const QUrl &url);
    QSize size() const { return m_widget ? m_widget->size() : m_sceneSize; }
    // Input to the pages (the pages lock themselves with it while busy);
    // kept for a view made later.
    Q_INVOKABLE void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    // Parent for the file dialogs the bridge opens.
    QWidget *dialogParent() const { return m_widget ? m_widget.data() : m_host.data(); }

    Hid_Thread *hid = nullptr;
    bool isColorful = false;
    bool isGun = false;
    QString icType;
    bool is55328 = false;
    bool right = false;
    // The DPI stage the device reported last (3 until it has).
    int lastStage = 3;

    SettingsStores &stores() { return *m_stores; }
    int currentProfile() const { return m_stores->currentProfile(); }
    bool profileOnDevice() const;

    // Device profile images of the "560" family, one per device slot.
    std::array<std::array<quint8, 128>, 5> profileImages{};
    std::array<bool, 5> profileImageRead{};

    // The import/export dialogs; tests install their own answers.
    void setFileDialogs(std::unique_ptr<FileDialogs> dialogs);
    FileDialogs &fileDialogs();

    bool connected() const { return m_connected; }
    QString deviceName() const;
    void setConnected(bool connected);

    // The language files in ./modules/i18n, by name without ".ini".
    Q_INVOKABLE QStringList languages() const;
    // The language in use: the user's choice, or on first start the
    // desktop's locale where a file matches it (else English).
    Q_INVOKABLE QString language();
    // The user's choice: stored, and the tray follows.
    Q_INVOKABLE void setLanguage(const QString &code);
    // Empty when the desktop can store the pointer setting ("speed",
    // "doubleClick", "scrollLines"), else a one-line reason.
    Q_INVOKABLE QString pointerSettingUnavailable(const QString &which) const;

    // Not slots: only the input hook calls them, always queued, and only
    // while a page listens.
    void detectKeyboard(bool isDown, int usbCode);
    void detectMouse(bool isDown, uint buttonCode, uint x, uint y);

    // The pages that record keys (macro recording, the key-insert box, the
    // assignment pop-up's capture fields) say when they start and stop
    // listening, each under its own name. While none listens, the desktop's
    // keys and buttons stop here instead of being queued to the documents.
    Q_INVOKABLE void setKeyListener(const QString &page, bool listening);
    bool keyListening() const { return !m_keyListeners.isEmpty(); }

    // Closed to the tray, the window lets go of its view (document, pages,
    // engine, script heap, frame) and makes it again when it comes back;
    // the bridge and what it holds stay. Pages with unsaved edits are
    // kept instead: releasing them would lose the edits.
    bool releaseScene();
    // Loads the document again and shows the stored state of the current
    // profile before the first frame. False when nothing was released.
    bool rebuildScene();
    bool sceneReleased() const { return m_sceneReleased; }

signals:
    void keyListeningChanged();
    // The first failed settings write of the session, as the text to show.
    void settingsWriteFailed(const QString &message);
    void profileOnDeviceChanged();

public slots:
    void clearHidBusy();
    void initUI();
    void runUI();
    void resetApconfig();
    bool loadMacroFile(QVariant macroFileName);
    void saveMacroFile(QVariant macroFileName);
    bool loadProfile(int profile);
    void saveProfile(int profile);
    void resetProfile(int profile);
    void copyProfile(int destprofile, int srcprofile);
    QStringList getLangStrings(QString typeStr, QString langCode);
    QVariant createMacroIni(QVariant name, QVariant macroIndex);
    QVariant updataNameList(QVariant type, QStringList nameList);
    QVariant modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname);
    void deleteMacroUpdateProfile(QVariant macroName);
    QVariant deleteMacroIni(QVariant name);
    QVariantList getNameList(QVariant type);
    QVariant saveMacroIni(QVariant name, QStringList macros, QVariant repeat);
    QVariant mouseSendMacroData(QVariantList macroData, QVariant macroIndex);
    QStringList loadMacroIni(QVariant name);
    void mouseSaveGundata(QVariant index, QVariantList src6);
    void mouseSendGundata(int slot, QVariantList data);
    void modifyGundata(QVariant modifyType, QVariantList src6);
    QVariantList getGunData(QVariant name);
    QStringList getGunDataKey();
    QVariant getXYSensitive(QVariant index);
    QVariant getselectGun(QVariant index);
    void setXYSensitive(QVariant index, QVariant xyData);
    void setSelectGun(QVariant index, QVariant xyData);
    void setCurrentProfile(int profile);
    void mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void mouseSetReportRate(uchar rate);
    void mouseSetLod(uchar rate, uchar en);
    void mouseSetCurrentDPI(uchar currentDPI);
    void mouseResetKeyMatrix();
    QVariant mouseGetCurrentDPI();
    void mouseGetRight();
    void mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam);
    void mouseSetMaxDpi(int dpiCount);
    void mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray);
    void mouseSetRGBEffect(uchar effect, uchar option1, uchar option2);
    void mouseSetRGBColor(uchar type, QVariantList src24);
    void mouseSetProfile(uint profileNo);
    void mouseReadProfile(uint profileNo);
    QVariant mouseReadCurrentProfile();
    void mouseSwitchKeyMatrix(int indexNo);
    QVariantList GetKeyboardoption();
    void mouseSetCursorSpeed(uint cursorSpeed);
    void mouseSetVerticalScrollLines(uint lines);
    void mouseSetDoubleClickSpeed(uint speed);
    QVariantList mouseGetKeydefine(QVariant index, bool isRecovery);
    void openUpdateExe();
    QVariant getData(QVariant key, bool isRecovery = false);
    QVariant getGlobalData(QVariant key);
    QVariantList getDataList(QVariant key, bool isRecovery = false);
    void setData(QVariant key, QVariant data);
    void setGlobalData(QVariant key, QVariant tmpdata);
    void setDataList(QVariant key, QVariantList datalist);
    void setBusy(int busyTime);
    void setCurrentDPI(int dpiValue);

signals:
    void connectionChanged();
    void languageChanged();

private:
    void makeScene();

    void invokeRoot(const char *function, Qt::ConnectionType type,
                    QGenericArgument a0 = QGenericArgument(),
                    QGenericArgument a1 = QGenericArgument(),
                    QGenericArgument a2 = QGenericArgument(),
                    QGenericArgument a3 = QGenericArgument());

    void tellWriteFailure(const QString &reason);

    std::unique_ptr<SettingsStores> m_stores;
    std::unique_ptr<FileDialogs> m_dialogs;
    bool m_toldWriteFailure = false;
    QSet<QString> m_keyListeners;
    bool m_connected = false;
    QPointer<QWidget> m_host;
    QPointer<QWidget> m_widget;
    QPointer<QQuickView> m_scene;
    QHash<QString, QObject *> m_contextObjects;
    QUrl m_sceneSource;
    QSize m_sceneSize;
    bool m_enabled = true;
    bool m_sceneReleased = false;
};
