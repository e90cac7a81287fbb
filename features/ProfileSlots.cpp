#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"
#include "features/ProfileImages.h"

Q_LOGGING_CATEGORY(lcFeatures, "skeld.features")

namespace ProfileImages
{

bool exists(int index)
{
    return index >= 0 && index < kImages;
}

bool ensureRead(myQQuickView &view, int index)
{
    if (!exists(index)) return false;
    if (view.profileImageRead[size_t(index)]) return true;
    if (!view.hid) return false;
    auto &image = view.profileImages[size_t(index)];
    if (!view.hid->readProfileRecord(image.data(), uchar(index))) {
        qCDebug(lcFeatures) << "device: profile record" << index
                            << "could not be read; it is not written back";
        return false;
    }
    view.profileImageRead[size_t(index)] = true;
    return true;
}

void send(myQQuickView &view, int index)
{
    if (!exists(index) || !view.hid) return;
    view.hid->hid560_0CH_setProfile(view.profileImages[size_t(index)].data(), uchar(index));
}

int currentImage(const myQQuickView &view, const char *what)
{
    const int image = view.currentProfile() + 1;
    if (exists(image)) return image;
    qCDebug(lcFeatures).nospace() << "device: no profile slot " << image << " on the device; "
                                  << what << " not sent";
    return -1;
}

bool currentOnDevice(const myQQuickView &view, const char *what)
{
    if (view.profileOnDevice()) return true;
    qCDebug(lcFeatures).nospace() << "device: profile " << view.currentProfile() + 1
                                  << " has no slot on the device; " << what
                                  << " kept on the computer only";
    return false;
}

} // namespace ProfileImages

void myQQuickView::mouseSetProfile(uint profileNo)
{
    if (!ProfileImages::exists(int(qMin<uint>(profileNo, 255)))) {
        qCDebug(lcFeatures) << "config: no profile image" << profileNo;
        return;
    }
    ProfileImages::send(*this, int(profileNo));
}

QVariant myQQuickView::mouseReadCurrentProfile()
{
    uchar profile = 0;
    if (hid) hid->hid560_82H_GetCurrentProfile(profile);
    return int(profile);
}

void myQQuickView::mouseSwitchKeyMatrix(int indexNo)
{
    if (!hid) return;
    if (icType == QLatin1String("560"))
        hid->hid560_02H_SetCurrentProfile(uchar(indexNo & 0xFF));
    else
        hid->hid553_02H_SetCurrentKeyMatrix(uchar((indexNo - 1) & 0xFF));
}
