#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <optional>

class RegistryStore;

// Where a window was left (Settings::placement, Settings::setPlacement):
// the values kept under
// HKEY_CURRENT_USER\SOFTWARE\<section>, all of them text.
//   "Flags"          one number
//   "ShowCmd"        1 normal, 2 minimized, 3 maximized
//   "PixelsPerInch"  the screen's logical pixels per inch when written
//   "MinMaxPos"      x,y of the minimized and of the maximized position
//   "NormPos"        left,top,right,bottom of the normal frame rectangle
//   "Visible"        "1" when written as the window was destroyed, else "0"
// The two positions are written twice: under their plain name and under the
// name with the primary screen's size appended, "NormPos(1280x800)", so that
// a change of resolution falls back to the plain value.
namespace Placement {

// The windows whose place is kept, each in its own section
// (Layout::MainFormSection, Layout::RemoteFormSection).
enum class Window
{
    Main,
    Remote
};

enum class ShowState
{
    Normal,
    Minimized,
    Maximized
};

struct Record
{
    int flags = 0;
    ShowState state = ShowState::Normal;
    int pixelsPerInch = 96;
    QPoint minimizedPosition{-1, -1};
    QPoint maximizedPosition{-1, -1};
    // left, top, right, bottom with right = left + width (the bottom alike).
    std::array<int, 4> normal{0, 0, 0, 0};
};

// What a read found (Settings::placement). position is empty when neither position text was
// stored or the stored pixels per inch differ from the screen's.
struct Found
{
    std::optional<int> flags;
    std::optional<std::array<int, 4>> position;
    ShowState state = ShowState::Normal;
};

// "(1280x800)".
QString screenSuffix(QSize screenPixels);
// Four numbers separated by commas, blanks or both; a missing or
// non-numeric one reads as the matching default.
std::array<int, 4> parseFour(const QString& text, const std::array<int, 4>& defaults);
QString formatFour(const std::array<int, 4>& numbers);
// 1, 5 and 9 are normal, 2, 6 and 7 minimized, 3 maximized; any other
// number keeps the default (normal).
ShowState decodeShowCmd(int showCmd);
int encodeShowCmd(ShowState state);

// The section's key below HKEY_CURRENT_USER.
QString sectionPath(Window window);

// The window's values as Settings reads and writes them. A value of another
// type than text raises AppError ("Invalid data type for '%s'"), and so
// does a failed write ("Failed to set data for '%s'"); a section that cannot
// be opened reads as nothing stored and is skipped by write, and so is the
// rest of a write once the store became unavailable.
Found read(RegistryStore& store, Window window, QSize screenPixels, int currentPixelsPerInch,
           const std::array<int, 4>& currentNormal);
void write(RegistryStore& store, Window window, const Record& record, QSize screenPixels,
           bool visible);

} // namespace Placement
