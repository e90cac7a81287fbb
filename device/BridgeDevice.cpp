// The bridge operations of the device layer: the right flag and the read of
// one "560" profile record into its image.
#include "app/myQQuickView.h"
#include "device/Hid_Thread.h"

#include <QDebug>
#include <QPointer>

void myQQuickView::mouseGetRight()
{
    if (!hid) {
        qDebug("test %d", 0);
        right = false;
        return;
    }
    Hid_Thread *h = hid;
    auto read = [h] {
        uchar value = 0;
        h->hid553_8BH_GetCurrentDPI(value);
        qDebug("test %d", int(value));
        return value != 0;
    };
    if (!rootObject() || h->onWorker()) {
        right = read();
        return;
    }
    // Nothing waits for the flag: it lands when the device has answered.
    QPointer<myQQuickView> self(this);
    h->post([h, read, self] {
        const bool value = read();
        h->postToGui([self, value] {
            if (self) self->right = value;
        });
    });
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
