#include "app/InputRouting.h"

#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "input/GlobalInputHook.h"

#include <QMessageBox>
#include <QPointer>

#include <deque>

namespace InputRouting
{
namespace
{
// Texts that arrived while a box was open, shown one after another once it
// closes. A box runs its own event loop, so without this every record of a
// burst would open a box inside the one before.
struct PendingWarnings {
    std::deque<QString> texts;
    int dropped = 0;
    bool showing = false;
};
PendingWarnings &pendingWarnings()
{
    static PendingWarnings p;
    return p;
}
} // namespace

void keyboardToBridge(quint8 usbCode, quint8 isDown, void *context)
{
    if (!context) return;
    if (myQQuickView *v = static_cast<Widget *>(context)->view())
        v->detectKeyboard(isDown != 0, int(usbCode));
}

void mouseToBridge(quint8 buttonCode, quint8 isDown, qint32 x, qint32 y, void *context)
{
    if (!context) return;
    if (myQQuickView *v = static_cast<Widget *>(context)->view())
        v->detectMouse(isDown != 0, uint(buttonCode), uint(x), uint(y));
}

void copyDataToWarning(const CopyDataRecord *record, void *context)
{
    if (!context || !record) return;
    const std::optional<QString> text = copyDataText(*record);
    if (!text) return;
    PendingWarnings &pending = pendingWarnings();
    if (pending.showing) {
        if (pending.texts.size() < maxPendingWarnings) {
            pending.texts.push_back(*text);
        } else if (pending.dropped++ == 0) {
            qDebug() << "copydata: a box is open and" << maxPendingWarnings
                     << "messages wait, later ones are dropped";
        }
        return;
    }
    pending.showing = true;
    const QPointer<QWidget> window(static_cast<QWidget *>(context));
    QString next = *text;
    while (window) {
        QMessageBox::warning(nullptr, window->windowTitle(), next, QMessageBox::Ok);
        if (pending.texts.empty()) break;
        next = pending.texts.front();
        pending.texts.pop_front();
    }
    pending.texts.clear(); // the window went away: nothing to caption them with
    if (pending.dropped > 0)
        qDebug() << "copydata:" << pending.dropped << "messages dropped while a box was open";
    pending.dropped = 0;
    pending.showing = false;
}

} // namespace InputRouting
