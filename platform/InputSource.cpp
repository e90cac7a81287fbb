#include "platform/InputSource.h"

#include "platform/EventFilterSource.h"
#include "platform/XInputSource.h"

#include <QGuiApplication>

std::unique_ptr<InputSource> createInputSource(InputSink &sink)
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) &&
        QGuiApplication::platformName() == QLatin1String("xcb")) {
        auto x = std::make_unique<XInputSource>(sink);
        if (x->start()) return x;
    }
    return std::make_unique<EventFilterSource>(sink);
}
