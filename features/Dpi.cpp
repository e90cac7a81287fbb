#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"
#include "features/DeviceOptions.h"
#include "features/DpiCodec.h"
#include "features/ProfileImages.h"

#include <QPointer>
#include <algorithm>

namespace
{
// The device takes one to eight stages; anything else would leave it
// without an active stage or index past its table.
int stageCount(int dpiCount)
{
    const int n = std::clamp(dpiCount, 1, DpiCodec::kStages);
    if (n != dpiCount)
        qCDebug(lcFeatures) << "config: DPI stage count" << dpiCount << "taken as" << n;
    return n;
}
} // namespace

void myQQuickView::mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray)
{
    if (!hid) return;
    const int count = stageCount(dpiCount);
    const DpiCodec::Sensor sensor = DpiCodec::sensorFromName(sensorType);
    const DpiCodec::Stages stages = DpiCodec::encodeStages(dpiValueArray, sensor);

    if (icType != QLatin1String("560")) {
        DpiCodec::Codes buffer = DpiCodec::buffer553(stages, count);
        hid->hid553_11H_SetDPISet(uchar(count), buffer.data());
        return;
    }
    if (!ProfileImages::currentOnDevice(*this, "DPI stages")) return;
    // Every on-board profile gets the stages; only the current one is sent.
    for (int image = 1; image < ProfileImages::kImages; ++image)
        if (ProfileImages::ensureRead(*this, image))
            DpiCodec::patchImage(profileImages[size_t(image)], stages, count, sensor);
    const int current = ProfileImages::currentImage(*this, "DPI stages");
    if (current > 0 && profileImageRead[size_t(current)]) ProfileImages::send(*this, current);
}

void myQQuickView::mouseSetMaxDpi(int dpiCount)
{
    if (!ProfileImages::ensureRead(*this, 0)) return;
    profileImages[0][DeviceOptions::kStageCountOffset] = uchar(stageCount(dpiCount));
    ProfileImages::send(*this, 0);
}

void myQQuickView::mouseSetCurrentDPI(uchar currentDPI)
{
    if (!hid) return;
    if (icType == QLatin1String("560")) {
        if (ProfileImages::currentOnDevice(*this, "DPI stage"))
            hid->hid560_04H_SetCurrentDPI(currentDPI);
    }
    else
        hid->hid553_0BH_SetCurrentDPI(currentDPI);
}

QVariant myQQuickView::mouseGetCurrentDPI()
{
    if (!hid) return 3; // what the pages show when the device cannot tell
    const bool is560 = icType == QLatin1String("560");
    const uchar profile = uchar((currentProfile() + 1) & 0xFF);
    Hid_Thread *h = hid;
    auto read = [h, is560, profile] {
        uchar stage = 3;
        uchar p = profile;
        if (is560)
            h->hid560_84H_GetCurrentDPI(p, stage);
        else
            h->hid553_8BH_GetCurrentDPI(stage);
        return int(stage);
    };
    if (!rootObject() || h->onWorker()) return read();
    // A page asks: it gets what we know now and the device's answer when it
    // comes, so the window never waits behind the commands queued before.
    QPointer<myQQuickView> self(this);
    h->post([h, read, self] {
        const int stage = read();
        h->postToGui([self, stage] {
            if (self) self->setCurrentDPI(stage);
        });
    });
    return lastStage;
}
