#include "features/ProfileApply.h"

#include "app/myQQuickView.h"
#include "features/ByteValues.h"
#include "features/DeviceOptions.h"
#include "features/LightingTables.h"
#include "input/KeyMatrix.h"

namespace ProfileApply
{

void keyMatrix(myQQuickView &view)
{
    QVariantList src64;
    for (int k = 0; k < KeyMatrix::kButtons; ++k)
        src64 += KeyMatrix::storedBinding(view.mouseGetKeydefine(k, false), 0);
    view.mouseSetKeyMatrix(src64, true, {});
}

void reportRate(myQQuickView &view)
{
    const QVariant stored = view.getData(QStringLiteral("mouse/reportRate"), false);
    view.mouseSetReportRate(DeviceOptions::rateByteForStored(int(ByteValues::toInt(stored))));
}

void dpi(myQQuickView &view)
{
    QVariantList values = view.getDataList(QStringLiteral("mouse/dpiValueArray"), false);
    values = values.mid(0, 8);
    const int count =
        int(ByteValues::toInt(view.getData(QStringLiteral("mouse/currentDpiCount"), false)));
    view.setDataList(QStringLiteral("mouse/dpiValueArray"), values);
    view.setData(QStringLiteral("mouse/currentDpiCount"), count);
    view.mouseSetDpi(count, view.getGlobalData(QStringLiteral("mouse/sensorType")).toString(),
                     values);
}

void lighting(myQQuickView &view)
{
    const QVariantList light = view.getDataList(QStringLiteral("mouse/lightValue"), false);
    const quint8 effect = ByteValues::byteAt(light, 0);
    const quint8 speed = ByteValues::byteAt(light, 1);
    const quint8 bright = ByteValues::byteAt(light, 2);
    const LightingTables::Colors c =
        LightingTables::colorsFromList(view.getDataList(QStringLiteral("mouse/colorValue"), false));
    QVariantList colors;
    for (quint8 v : c)
        colors << int(v);
    // Only "Breath Loop" shows colour 8 on these models; the others would
    // otherwise take the stage-colour command instead of the fixed colour.
    if (view.is55328 && effect != 4) colors[21] = colors[22] = colors[23] = 0;
    view.setDataList(QStringLiteral("mouse/lightValue"), {int(effect), int(speed), int(bright)});
    view.setDataList(QStringLiteral("mouse/colorValue"), colors);

    view.mouseSetRGBColor(0, colors);
    view.mouseSetRGBEffect(effect, speed, bright);
    if (view.isColorful) {
        view.mouseSetRGBColor(0, colors);
        view.mouseSetRGBEffect(effect, speed, bright);
    } else {
        view.mouseSetRGBColor(1, colors);
    }
}

void all(myQQuickView &view)
{
    keyMatrix(view);
    reportRate(view);
    dpi(view);
    lighting(view);
}

} // namespace ProfileApply
