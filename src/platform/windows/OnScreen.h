// What the window system shows, as opposed to what the program asked it for. The window manager
// carries out a request (a minimise, a restore, a map) some time after the program made it, and
// reports it later still: a test that minimises and restores at once must wait until the window
// manager has done both before the window can be clicked again.
#pragma once

namespace corvane {

class TForm;

// Whether the window manager shows the form's window now (the toolkit has heard from the window
// system that it is mapped), whatever the program last asked for: false from the moment the
// window manager has taken a minimised window away until it has brought it back.
bool ShownOnScreen(const TForm* form);

}  // namespace corvane
