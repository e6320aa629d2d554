// Window manager hints the toolkit has no interface for. Private to the platform layer.
#pragma once

class QWidget;

namespace corvane {

// Asks the window manager to leave the window out of the task bar and the pager (an owned
// window: the program keeps one task-bar entry). Does nothing off the X window system.
void SkipTaskBar(QWidget* window);

// Marks the window modal for its owner (_NET_WM_STATE_MODAL) or takes the mark off: the window
// manager then gives the activation to it whenever its owner would get it (a click on the owner,
// a restore from the task bar). Does nothing off the X window system.
void SetModalState(QWidget* window, bool modal);

// Whether a compositing manager runs on the display (the owner of _NET_WM_CM_S<screen>): only
// then does a window's opacity show. Off X the toolkit's own platform decides: true.
bool CompositingManagerRunning();

}  // namespace corvane
