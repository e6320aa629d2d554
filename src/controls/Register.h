// Makes the themed controls available to window layouts.
#pragma once

namespace corvane {

// Registers TthImagePanel, TthButton, TthEdit and TthFileTheme with the layout loader, each with
// the properties it adds to its platform parent class. Safe to call more than once.
void RegisterThemedControls();

}  // namespace corvane
