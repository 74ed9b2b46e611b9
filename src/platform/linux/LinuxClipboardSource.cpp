// The clipboard source of a build with the X11 back end.
#include "platform/ClipboardSource.h"
#include "platform/QtClipboardSource.h"
#include "platform/linux/X11ClipboardSource.h"

#include <QGuiApplication>
#include <cstdio>

std::unique_ptr<ClipboardSource> createClipboardSource()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QString error;
        if (std::unique_ptr<X11ClipboardSource> source =
                X11ClipboardSource::open(qgetenv("DISPLAY"), &error))
            return source;
        std::fprintf(stderr,
                     "clipstow: the X11 clipboard cannot be watched (%s); "
                     "Qt's clipboard is used instead.\n",
                     qPrintable(error));
    }
    return std::make_unique<QtClipboardSource>();
}
