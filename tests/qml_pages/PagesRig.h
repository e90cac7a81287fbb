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

    // Command codes (hex, two digits) of the SET_FEATURE reports since the
    // last clear, in order, and the six parameter bytes of each with a code.
    Q_INVOKABLE QStringList sentCommands() const;
    Q_INVOKABLE QVariantList reports(const QString &code) const;
    Q_INVOKABLE void clearTrace();
    // The virtual mouse's memory once the queued commands reached it.
    Q_INVOKABLE QVariantMap mouseState() const;

    Q_INVOKABLE QStringList pointerCalls() const;
    Q_INVOKABLE void clearPointerCalls();
    Q_INVOKABLE void setPointerBackend(const QString &name); // "recording", "x11", "none"

    Q_INVOKABLE QString readFile(const QString &relative) const;
    Q_INVOKABLE void writeFile(const QString &relative, const QString &text) const;
    Q_INVOKABLE bool removeFile(const QString &relative) const;
    Q_INVOKABLE QString path(const QString &relative) const;
    // Files under the data root, to prove nothing else was written.
    Q_INVOKABLE QStringList allFiles() const;
    // Profile -1 is the defaults file; read past the bridge's cache.
    Q_INVOKABLE QVariant profileValue(int profile, const QString &key) const;
    // The next open / save dialog returns this file name ("" = cancel).
    Q_INVOKABLE void answerOpen(const QString &file);
    Q_INVOKABLE void answerSave(const QString &file);

    Q_INVOKABLE bool viewEnabled() const;
    Q_INVOKABLE bool windowVisible() const;
    Q_INVOKABLE QPoint windowPos() const;
    Q_INVOKABLE void showWindow();
    // What the device check or the reader's removal tells the window.
    Q_INVOKABLE void setConnected(bool connected);
    Q_INVOKABLE QStringList trayTexts() const;
    Q_INVOKABLE QString dpiNotification(int k) const; // stage k + 1

private:
    void build();
    QStringList trace() const;

    QQmlEngine *m_engine;
    TestData m_data;
    std::unique_ptr<Widget> m_widget;
    mutable QMutex m_mutex;
    QStringList m_trace;
};
