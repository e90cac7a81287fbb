#pragma once

#include "testlib/TestData.h"

#include <QMutex>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QVariantMap>
#include <memory>

class QQmlEngine;
class Widget;
class VirtualMouse;

// What a page test reaches besides the documents: the real window with its
// bridge and worker (published as ui_View, ui_Ctl and hid), the virtual
// mouse behind the worker, the wire trace, the pointer settings the desktop
// was asked for, the data files, and the file dialogs' answers.
class PagesRig : public QObject
{
    Q_OBJECT
public:
    explicit PagesRig(QQmlEngine *engine);
    ~PagesRig() override;

    // Rebuilds the window after changing global keys of apConfig.bin (the
    // bridge reads its capability flags only when it is built).
    Q_INVOKABLE void restart(const QVariantMap &globals = {});

    // Command-interface transfers (SET_FEATURE, GET_FEATURE, WRITE, READ)
    // since the last clear, as the trace writes them.
    Q_INVOKABLE QStringList trace() const;
    Q_INVOKABLE void clearTrace();
    // Command codes (hex, two digits) of the SET_FEATURE reports since the
    // last clear, in order.
    Q_INVOKABLE QStringList sentCommands() const;
    // The six parameter bytes of every command report with this code.
    Q_INVOKABLE QVariantList reports(const QString &code) const;
    Q_INVOKABLE QVariantMap mouseState() const;
    Q_INVOKABLE void pressDpiButton();

    Q_INVOKABLE QStringList pointerCalls() const;
    Q_INVOKABLE void clearPointerCalls();

    Q_INVOKABLE QString readFile(const QString &relative) const;
    Q_INVOKABLE void writeFile(const QString &relative, const QString &text) const;
    Q_INVOKABLE bool sameFile(const QString &a, const QString &b) const;
    Q_INVOKABLE QString path(const QString &relative) const;
    Q_INVOKABLE QVariant profileValue(int profile, const QString &key) const;

    // The next open / save dialog returns this file name ("" = cancel).
    Q_INVOKABLE void answerOpen(const QString &file);
    Q_INVOKABLE void answerSave(const QString &file);
    Q_INVOKABLE QStringList dialogCaptions() const;

    Q_INVOKABLE bool viewEnabled() const;
    // The tray texts of the DPI button, stage k + 1.
    Q_INVOKABLE QString dpiNotification(int k) const;
    Q_INVOKABLE QPoint windowPos() const;
    Q_INVOKABLE bool windowVisible() const;
    Q_INVOKABLE void showWindow();
    // What the device check or the reader's removal tells the window.
    Q_INVOKABLE void setConnected(bool connected);
    // The pointer settings back end: "recording" (the default), "x11", "none".
    Q_INVOKABLE void setPointerBackend(const QString &name);
    Q_INVOKABLE QStringList trayTexts() const;

private:
    void build();
    void publish();

    QQmlEngine *m_engine;
    TestData m_data;
    std::unique_ptr<Widget> m_widget;
    mutable QMutex m_mutex;
    QStringList m_trace;
};
