#pragma once

#include <QObject>

class Widget;
class myQQuickView;

// The window controller the UI reaches as "ui_Ctl": minimise, hide, drag and
// lock the window. It also builds the view inside the window.
class Ui_Controler : public QObject
{
    Q_OBJECT
public:
    Ui_Controler() = default;

    void init(Widget *w);
    // The window hid through close (not a minimise) / is about to show.
    void releaseScene();
    void rebuildScene();
    myQQuickView *view = nullptr;
    Widget *widget = nullptr;

    // Hands a drag on the background to the window manager; false where it
    // cannot take it (then onXChanged/onYChanged move the window). A
    // native Wayland session moves windows only this way.
    Q_INVOKABLE bool startSystemMove();

public slots:
    void onMinimize();
    void onClose();
    void onXChanged(int dx);
    void onYChanged(int dy);
    void setBusy(int busyTime);
    void setBusy();
};
