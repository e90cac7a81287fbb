#include "features/PointerSettings.h"

#include "app/myQQuickView.h"
#include "platform/PointerSettings.h"

#include <QDebug>

void applyCursorSpeed(PointerSettings &settings, uint step)
{
    if (!settings.setCursorSpeed(PointerSteps::cursorSpeed(step)))
        qDebug() << "setCursorSpeed Failed";
}

void applyDoubleClickSpeed(PointerSettings &settings, uint step)
{
    if (!settings.setDoubleClickTime(PointerSteps::doubleClickMs(step)))
        qDebug() << "setDoubleClickSpeed Failed";
}

void applyVerticalScrollLines(PointerSettings &settings, uint lines)
{
    // 1000 ("one screen") goes through like any count; the desktop decides.
    if (!settings.setWheelScrollLines(lines))
        qDebug() << "setVerticalScrollLines Failed";
}

void myQQuickView::mouseSetCursorSpeed(uint cursorSpeed)
{
    applyCursorSpeed(systemPointerSettings(), cursorSpeed);
}

void myQQuickView::mouseSetVerticalScrollLines(uint lines)
{
    applyVerticalScrollLines(systemPointerSettings(), lines);
}

void myQQuickView::mouseSetDoubleClickSpeed(uint speed)
{
    applyDoubleClickSpeed(systemPointerSettings(), speed);
}
