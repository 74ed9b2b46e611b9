// The clipboard source of a build without a platform back end: Qt's.
#include "platform/ClipboardSource.h"
#include "platform/QtClipboardSource.h"

std::unique_ptr<ClipboardSource> createClipboardSource()
{
    return std::make_unique<QtClipboardSource>();
}
