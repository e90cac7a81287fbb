#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"
#include "features/LightingTables.h"
#include "features/ProfileImages.h"

using namespace LightingTables;

void myQQuickView::mouseSetRGBEffect(uchar effect, uchar option1, uchar option2)
{
    if (!hid) return;
    const bool is560 = icType == QLatin1String("560");
    if (is560 && !ProfileImages::currentOnDevice(*this, "lighting effect")) return;

    if (isColorful) {
        const Triple t = colorfulEffect(effect, option1, option2);
        if (!is560) {
            hid->hid553_0DH_SetRGBLedEffect(t.a, t.b, t.c);
            return;
        }
        const int image = ProfileImages::currentImage(*this, "lighting effect");
        if (image < 0 || !ProfileImages::ensureRead(*this, image)) return;
        patchEffect(profileImages[size_t(image)], t);
        ProfileImages::send(*this, image);
        return;
    }

    const Triple t = plainEffect(effect, option1, option2);
    if (!is560) {
        hid->hid553_0DH_SetRGBLedEffect(t.a, t.b, is55328 ? t.c : quint8(2));
        return;
    }
    for (int image = 1; image < ProfileImages::kImages; ++image)
        if (ProfileImages::ensureRead(*this, image))
            patchEffect(profileImages[size_t(image)], {t.a, t.b, 2});
    if (isGun) {
        for (int image = 1; image < ProfileImages::kImages; ++image)
            if (profileImageRead[size_t(image)]) ProfileImages::send(*this, image);
        return;
    }
    if (profileImageRead[1]) profileImages[1][kEffectOffset + 2] = 3;
    // The current profile lives in image p + 1; image p would be the wrong
    // profile (or, for the first one, the device-wide record).
    const int image = ProfileImages::currentImage(*this, "lighting effect");
    if (image > 0 && profileImageRead[size_t(image)]) ProfileImages::send(*this, image);
}

void myQQuickView::mouseSetRGBColor(uchar type, QVariantList src24)
{
    if (!hid) return;
    Colors colors = colorsFromList(src24);

    if (icType == QLatin1String("560")) {
        if (!ProfileImages::currentOnDevice(*this, "lighting colours")) return;
        const int image = isColorful ? kColorfulColorsImage : kPlainColorsImage;
        const int offset = isColorful ? kColorfulColorsOffset : kPlainColorsOffset;
        if (!ProfileImages::ensureRead(*this, image)) return;
        patchColors(profileImages[size_t(image)], offset, colors);
        ProfileImages::send(*this, image);
        return;
    }
    if (!is55328) {
        // These models take the colour set twice in a row.
        hid->hid553_10H_SetLED8StageColor(type, colors.data());
        hid->hid553_10H_SetLED8StageColor(type, colors.data());
        return;
    }
    if (hasColor8(colors))
        hid->hid553_10H_SetLED8StageColor(0, colors.data());
    else
        hid->hid553_0CH_SetFixLEDColor(colors.data());
}
