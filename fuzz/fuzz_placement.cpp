// Stored window places: any texts in the placement values give a window of a
// size the screens can hold, without overflow in the arithmetic on them, and
// the place a window writes back reopens it at the same place.
//
// Input: the texts of "NormPos", "NormPos(<screen>)", "MinMaxPos",
// "PixelsPerInch" and "ShowCmd", one a line; a value without its line is
// not stored.

#include "FuzzSupport.h"
#include "settings/PlacementStore.h"
#include "settings/RegistryStore.h"
#include "settings/Settings.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

namespace {

// Two screens of different sizes, the second above the first's top edge.
// Windows have no frame: a frame comes from the window manager once a window
// is shown, which these windows never are.
constexpr char Screens[] = R"({"windowFrameMargins": false, "screens": [
    {"name": "left", "x": 0, "y": 0, "width": 1280, "height": 800, "logicalDpi": 96},
    {"name": "right", "x": 1280, "y": -100, "width": 1024, "height": 768, "logicalDpi": 96}]})";

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

RegistryStore& store()
{
    static RegistryStore registry(folder().filePath(QStringLiteral("registry.sqlite3")));
    return registry;
}

Settings& settings()
{
    static Settings values(store());
    return values;
}

// The main window (resizable, with a minimum size) or the remote window.
std::unique_ptr<QWidget> makeWindow(bool fixed)
{
    auto window = std::make_unique<QWidget>();
    if (fixed)
        window->setFixedSize(116, 22);
    else
        window->setMinimumSize(300, 200);
    window->setGeometry(100, 100, 400, 300);
    return window;
}

QRect screensExtent()
{
    QRect extent;
    for (const QScreen* screen : QGuiApplication::screens())
        extent |= screen->geometry();
    return extent;
}

void store(const QStringList& lines)
{
    const QString suffix =
        Placement::screenSuffix(QGuiApplication::primaryScreen()->geometry().size());
    const QString names[] = {QStringLiteral("NormPos"), QStringLiteral("NormPos") + suffix,
                             QStringLiteral("MinMaxPos"), QStringLiteral("PixelsPerInch"),
                             QStringLiteral("ShowCmd")};
    RegKey key = *store().openKey(RegRoot::CurrentUser,
                                  Placement::sectionPath(Placement::Window::Main), true);
    for (qsizetype i = 0; i < qsizetype(std::size(names)) && i < lines.size(); ++i)
        key.setValue(names[i], RegType::Sz, RegValue::encodeString(lines[i]));
}

void checkWindow(const QStringList& lines, bool fixed)
{
    store(lines);
    const auto window = makeWindow(fixed);
    WindowPlacement placement(*window, settings(), Placement::Window::Main,
                              WindowPlacement::Mode::Explicit, !fixed);
    placement.read();
    const QSize size = window->normalGeometry().size();
    const QSize extent = screensExtent().size().expandedTo(window->minimumSize());
    fuzzCheck(size.width() <= extent.width() && size.height() <= extent.height(),
              "a stored size is limited to the screens");
    placement.write();

    const auto reopened = makeWindow(fixed);
    WindowPlacement again(*reopened, settings(), Placement::Window::Main,
                          WindowPlacement::Mode::Explicit, !fixed);
    again.read();
    fuzzCheck(reopened->normalGeometry() == window->normalGeometry(),
              "a window reopens where it was left");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const QString screens = folder().filePath(QStringLiteral("screens.json"));
    QFile file(screens);
    if (!file.open(QIODevice::WriteOnly) || file.write(Screens) < 0)
        std::abort();
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens));
    static int argc = 1;
    static char name[] = "fuzz_placement";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QStringList lines =
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size))
            .split(QLatin1Char('\n'));
    // Each window starts from an empty section, in one transaction: undoing it
    // instead would close and reopen the registry file every time.
    for (const bool fixed : {false, true}) {
        store().runInTransaction([&] {
            store().deleteKey(RegRoot::CurrentUser,
                              Placement::sectionPath(Placement::Window::Main));
            checkWindow(lines, fixed);
        });
    }
    QCoreApplication::processEvents();
    return 0;
}
