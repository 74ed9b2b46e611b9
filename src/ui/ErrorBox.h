#pragma once

// The error box: a modal message box captioned with the application title,
// an error icon and one OK button.
namespace ErrorBox {

// Makes the box the way ErrorReporter shows failures.
void install();

} // namespace ErrorBox
