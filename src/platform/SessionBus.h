#pragma once

// Qt asks the session's message bus about the tray and accessibility.
// Where the session has none, the bus library would start one on the X
// display (autolaunch) that outlives the program; Clipstow runs without a
// bus instead, and what it starts (a text editor, a browser) finds the
// session as it was.
namespace SessionBus {

// Before the application object exists: without a bus in the session, the
// bus library is kept from starting one.
void keepFromStarting();

// Once the application object exists: Qt has learnt that there is no bus
// (it asks only once), and the environment is the session's again.
void restoreEnvironment();

} // namespace SessionBus
