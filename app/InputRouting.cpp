#include "app/InputRouting.h"

#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "input/GlobalInputHook.h"

#include <QMessageBox>

namespace InputRouting
{

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
    QMessageBox::warning(nullptr, static_cast<QWidget *>(context)->windowTitle(), *text,
                         QMessageBox::Ok);
}

} // namespace InputRouting
