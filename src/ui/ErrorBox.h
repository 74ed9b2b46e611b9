#pragma once

// The error box: a modal message box captioned with the application title,
// an error icon and one OK button.
class ErrorReporter;

namespace ErrorBox {

// Makes the box the way errors shows failures.
void install(ErrorReporter& errors);

} // namespace ErrorBox
