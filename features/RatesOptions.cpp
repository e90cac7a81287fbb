#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"
#include "features/ProfileImages.h"

void myQQuickView::mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    if (hid) hid->hid553_03H_SetKeyboardoption(byte1, byte2, byte3, byte4);
}

void myQQuickView::mouseSetReportRate(uchar rate)
{
    if (!hid) return;
    if (icType == QLatin1String("560")) {
        if (ProfileImages::currentOnDevice(*this, "report rate"))
            hid->hid560_03H_SetReportRate(rate);
    }
    else
        hid->hid553_01H_SetReportRate(rate);
}

void myQQuickView::mouseSetLod(uchar rate, uchar en)
{
    // The device has no lift-off command; the page's values stay in the profile.
    qDebug() << "test" << rate << en;
}

QVariantList myQQuickView::GetKeyboardoption()
{
    uchar b1 = 0, b2 = 0, b3 = 0, b4 = 0;
    if (hid) hid->hid553_83H_GetKeyboardoption(b1, b2, b3, b4);
    return {int(b1), int(b2), int(b3), int(b4)};
}
