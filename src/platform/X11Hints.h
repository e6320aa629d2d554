// Window manager hints the toolkit has no interface for. Private to the platform layer.
#pragma once

class QWidget;

namespace corvane {

// Asks the window manager to leave the window out of the task bar and the pager (an owned
// window: the program keeps one task-bar entry). Does nothing off the X window system.
void SkipTaskBar(QWidget* window);

}  // namespace corvane
