#pragma once

#include <QByteArray>
#include <QIcon>
#include <QString>
#include <QStringList>

// The program's pictures. Every icon is an SVG drawing on a 16-unit grid kept in
// the compiled-in resources; window code asks for a picture by its role and never
// spells a resource path. All accessors return a null icon only if the resources
// are missing from the build.
namespace Icons {

// The program icon with auto mode off and on: tray icon, taskbar, window icons
// and the help window's legend.
QIcon programIcon();
QIcon autoProgramIcon();

// Main toolbar, in the order of its image list (0 to 7).
QIcon capture();
QIcon showRemote();
QIcon editInTextEditor();
QIcon autoMode();
QIcon save();
QIcon preferences();
QIcon clearSlot();
QIcon clearClipboard();

inline constexpr int ToolbarImageCount = 8;
// Toolbar image by index 0 to 7; a null icon for any other index.
QIcon toolbarImage(int index);

// Menu items not already covered by a toolbar picture.
QIcon saveAs();
QIcon print();
QIcon exitProgram();
QIcon hideWindow();
QIcon showMainWindow();
QIcon font();
QIcon setFilename();
QIcon find();
QIcon findNext();
QIcon help();
QIcon about();
QIcon support();
QIcon clipboardViewer();
QIcon undo();
QIcon cut();
QIcon copy();
QIcon paste();
QIcon selectAll();

// Remote control window: the three slot buttons and the auto button, in the
// order of its image list (0 to 3).
inline constexpr int RemoteImageCount = 4;
QIcon slot(int number); // 1 to 3; a null icon for any other number
QIcon remoteImage(int index);

// Glyphs of the dialogs: the splash window's close button, the agreement's
// accept and decline buttons, the preferences' sound picture and "Select..." buttons.
QIcon closeGlyph();
QIcon acceptGlyph();
QIcon cancelGlyph();
QIcon playSound();
QIcon browse();

// The splash picture, a 387 x 174 JPEG, as stored in the resources (for the
// splash window's JPEG decoder). Raises AppError when the resource cannot be read.
inline constexpr int SplashWidth = 387;
inline constexpr int SplashHeight = 174;
QString splashPicturePath();
QByteArray splashPictureData();

// Resource paths of every icon drawing, sorted.
QStringList allIconPaths();

} // namespace Icons
