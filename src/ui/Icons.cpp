#include "ui/Icons.h"

#include "base/AppError.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <iterator>

// The resources are compiled into the static library; referencing their
// initialiser keeps them linked into every program that shows a picture.
static void initIconResources()
{
    static const bool initialised = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(initialised);
}

namespace Icons {

namespace {

// The SVG picture; a build without Qt's SVG engine has the pictures
// rendered to PNG beforehand, and takes those.
QIcon named(const char* name)
{
    initIconResources();
    for (const char* type : {"png", "svg"}) {
        const QString path =
            QStringLiteral(":/icons/%1.%2").arg(QLatin1String(name), QLatin1String(type));
        if (QFile::exists(path))
            return QIcon(path);
    }
    return QIcon();
}

} // namespace

QIcon programIcon()
{
    return named("clipstow");
}
QIcon autoProgramIcon()
{
    return named("clipstow-auto");
}

QIcon capture()
{
    return named("capture");
}
QIcon showRemote()
{
    return named("remote");
}
QIcon editInTextEditor()
{
    return named("edit");
}
QIcon autoMode()
{
    return named("auto");
}
QIcon save()
{
    return named("save");
}
QIcon preferences()
{
    return named("preferences");
}
QIcon clearSlot()
{
    return named("clear");
}
QIcon clearClipboard()
{
    return named("clear-clipboard");
}

QIcon toolbarImage(int index)
{
    using Accessor = QIcon (*)();
    static constexpr Accessor images[] = {capture, showRemote,  editInTextEditor, autoMode,
                                          save,    preferences, clearSlot,        clearClipboard};
    static_assert(std::size(images) == ToolbarImageCount);
    return index >= 0 && index < ToolbarImageCount ? images[index]() : QIcon();
}

QIcon saveAs()
{
    return named("save-as");
}
QIcon print()
{
    return named("print");
}
QIcon exitProgram()
{
    return named("exit");
}
QIcon hideWindow()
{
    return named("hide");
}
QIcon showMainWindow()
{
    return named("show-main");
}
QIcon font()
{
    return named("font");
}
QIcon setFilename()
{
    return named("set-filename");
}
QIcon find()
{
    return named("find");
}
QIcon findNext()
{
    return named("find-next");
}
QIcon help()
{
    return named("help");
}
QIcon about()
{
    return named("about");
}
QIcon support()
{
    return named("support");
}
QIcon clipboardViewer()
{
    return named("clipboard-viewer");
}
QIcon undo()
{
    return named("undo");
}
QIcon cut()
{
    return named("cut");
}
QIcon copy()
{
    return named("copy");
}
QIcon paste()
{
    return named("paste");
}
QIcon selectAll()
{
    return named("select-all");
}

QIcon slot(int number)
{
    switch (number) {
    case 1:
        return named("slot1");
    case 2:
        return named("slot2");
    case 3:
        return named("slot3");
    default:
        return QIcon();
    }
}

QIcon remoteImage(int index)
{
    if (index >= 0 && index < 3)
        return slot(index + 1);
    return index == 3 ? autoMode() : QIcon();
}

QIcon closeGlyph()
{
    return named("close");
}
QIcon acceptGlyph()
{
    return named("accept");
}
QIcon cancelGlyph()
{
    return named("cancel");
}
QIcon playSound()
{
    return named("sound");
}
QIcon browse()
{
    return named("set-filename");
}

QString splashPicturePath()
{
    initIconResources();
    return QStringLiteral(":/splash.jpg");
}

QByteArray splashPictureData()
{
    QFile file(splashPicturePath());
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QCoreApplication::translate("Icons", "Cannot read the splash picture"));
    return file.readAll();
}

QStringList allIconPaths()
{
    initIconResources();
    QStringList paths;
    QDirIterator it(QStringLiteral(":/icons"), {QStringLiteral("*.svg")}, QDir::Files);
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    return paths;
}

} // namespace Icons
