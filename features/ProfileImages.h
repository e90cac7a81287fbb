#pragma once

#include <QLoggingCategory>

class myQQuickView;

Q_DECLARE_LOGGING_CATEGORY(lcFeatures)

// The write-back rule of the 560 family's profile images, shared by every
// feature that patches one.
namespace ProfileImages
{

constexpr int kImages = 5;

// True when `index` names an image (0..4).
bool exists(int index);

// Makes sure image `index` holds the device's record before a feature
// patches it: an image never read would write zeros over every byte the
// feature does not set. Reads the record once when needed; false when the
// index is out of range or the record cannot be read.
bool ensureRead(myQQuickView &view, int index);

// Sends image `index` whole as device profile `index`.
void send(myQQuickView &view, int index);

// The image of the current profile (index + 1), or -1 with a debug line when
// the device has no slot for it.
int currentImage(const myQQuickView &view, const char *what);

// For a "560" device: whether the current profile has a slot on the device.
// A profile without one is kept on the computer only; every feature sends
// nothing of it (never half of it), and says so in a debug line.
bool currentOnDevice(const myQQuickView &view, const char *what);

} // namespace ProfileImages
