#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"
#include "macro/MacroCodec.h"
#include "macro/MacroEncoder.h"

#include <QCoreApplication>

namespace
{
// The pages import the encoder as soon as the application object exists.
void registerMacroCodec()
{
    MacroCodec::registerQmlType();
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(registerMacroCodec)

QVariant myQQuickView::mouseSendMacroData(QVariantList macroData, QVariant macroIndex)
{
    const uchar index = uchar(macroIndex.toUInt() & 0xFF);
    if (index >= MacroEncoder::kSlots) {
        qCDebug(lcMacro) << "macro: no device slot for macro index" << index;
        return true;
    }
    if (!hid) return true;
    MacroEncoder::Image image = MacroEncoder::imageFromList(macroData);
    if (icType == QLatin1String("560"))
        hid->hid560_0FH_SetMacroKey(uchar(index + 1), image.data());
    else
        hid->hid553_13H_SetMacroKey(uchar(index + 1), image.data());
    return true;
}
