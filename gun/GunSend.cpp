#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"
#include "features/ByteValues.h"
#include "features/DeviceOptions.h"
#include "features/ProfileImages.h"

void myQQuickView::mouseSendGundata(int slot, QVariantList data)
{
    if (!isGun || !hid) return;
    const quint8 shots = ByteValues::byteAt(data, 0);
    const quint8 x = ByteValues::byteAt(data, 1);

    if (icType == QLatin1String("560")) {
        const int image = slot + 1;
        if (!ProfileImages::exists(image) || image == 0) {
            qCDebug(lcFeatures) << "config: no gun slot" << slot << "on the device";
            return;
        }
        if (!ProfileImages::ensureRead(*this, image)) return;
        DeviceOptions::patchGun(profileImages[size_t(image)], shots, x,
                                ByteValues::byteAt(data, 2));
        ProfileImages::send(*this, image);
        return;
    }
    uchar o1 = 0, o2 = 0, o3 = 0, o4 = 0;
    hid->hid553_83H_GetKeyboardoption(o1, o2, o3, o4);
    const quint8 y = DeviceOptions::gunYByte(ByteValues::intAt(data, 2), o3);
    hid->hid553_04H_SetGunData(shots, x, y, uchar((slot - 1) & 0xFF));
}
