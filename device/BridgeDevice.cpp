// The bridge operations of the device layer: the right flag and the read of
// one "560" profile record into its image.
#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"

#include <QDebug>

void myQQuickView::mouseGetRight()
{
    uchar value = 0;
    if (hid) hid->hid553_8BH_GetCurrentDPI(value);
    qDebug("test %d", int(value));
    right = value != 0;
}

void myQQuickView::mouseReadProfile(uint profileNo)
{
    if (profileNo >= profileImages.size()) {
        qCWarning(lcTransport) << "caller: no profile image" << profileNo;
        return;
    }
    if (!hid) return;
    if (hid->readProfileRecord(profileImages[profileNo].data(), uchar(profileNo)))
        profileImageRead[profileNo] = true;
}
