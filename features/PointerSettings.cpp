#include "features/PointerSettings.h"

#include "app/myQQuickView.h"
#include "platform/PointerSettings.h"

#include <QDebug>

bool applyCursorSpeed(PointerSettings &settings, uint step)
{
    if (settings.setCursorSpeed(PointerSteps::cursorSpeed(step))) return true;
    qDebug() << "setCursorSpeed Failed";
    return false;
}

bool applyDoubleClickSpeed(PointerSettings &settings, uint step)
{
    if (settings.setDoubleClickTime(PointerSteps::doubleClickMs(step))) return true;
    qDebug() << "setDoubleClickSpeed Failed";
    return false;
}

bool applyVerticalScrollLines(PointerSettings &settings, uint lines)
{
    // 1000 ("one screen") goes through like any count; the desktop decides.
    if (settings.setWheelScrollLines(lines)) return true;
    qDebug() << "setVerticalScrollLines Failed";
    return false;
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

QString myQQuickView::pointerSettingUnavailable(const QString &which) const
{
    PointerSettings &settings = systemPointerSettings();
    if (dynamic_cast<NoPointerSettings *>(&settings))
        return QStringLiteral("Not available on this desktop.");
    if (dynamic_cast<GSettingsPointerSettings *>(&settings)) {
        if (which == QLatin1String("scrollLines"))
            return QStringLiteral("This desktop keeps no wheel lines.");
        return {};
    }
    if (dynamic_cast<X11PointerSettings *>(&settings) && which != QLatin1String("speed"))
        return QStringLiteral("Needs the desktop's own settings.");
    return {};
}
