// The toolkit side of a windowed control: a widget plus an event filter that turns toolkit
// events into messages for the control. Private to the platform layer.
#pragma once

#include <QImage>
#include <QObject>
#include <QPaintEvent>
#include <QPointer>
#include <QWidget>

#include <deque>
#include <map>

#include "platform/windows/Controls.h"

class QEvent;
class QMouseEvent;
class QKeyEvent;

namespace corvane {

class TWindowHandle : public QObject {
 public:
  // `widget` becomes owned by the handle; `input` is the widget that receives the pointer and the
  // keys (a scroll area's viewport) and defaults to `widget`. Native handles let the widget do its
  // own processing for messages that reach the default window procedure.
  TWindowHandle(TWinControl* control, QWidget* widget, bool native, QWidget* input = nullptr);
  ~TWindowHandle() override;

  QWidget* Widget() const { return widget_; }
  QWidget* InputWidget() const { return input_; }
  TWinControl* Control() const { return control_; }
  bool Native() const { return native_; }

  // Paints the control (non-client part, then client part) on a canvas whose origin is the
  // widget's top-left corner.
  void Render(TCanvas& canvas);
  // A paint event of the widget: `dirty` in widget coordinates; `device` is where the toolkit has
  // the widget's painting go (its window's backing store) with the widget's top-left at `at`, or
  // null when the widget cannot be painted there directly.
  void PaintEvent(const QRegion& dirty, QPaintDevice* device, QPoint at);

  // Called by the default window procedure: let the toolkit process the event being translated.
  void PassToNative() { passToNative_ = true; }
  QEvent* CurrentEvent() const { return current_; }

  // Records a place the program asked the window system for (a top-level window).
  void PlacedAt(int left, int top) {
    placed_.emplace_back(left, top);
    if (placed_.size() > 256) placed_.pop_front();
  }

  // Puts a top-level window on the screen at the control's bounds, above the others.
  void ShowOnTop();

  void SetTimer(uintptr_t id, int ms);
  void KillTimer(uintptr_t id);
  bool settingGeometry = false;

  // Routing entry points (also used by synthetic input).
  bool RouteMouse(QMouseEvent* e);
  bool RouteKey(QKeyEvent* e, bool down);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void timerEvent(QTimerEvent* e) override;

 private:
  TWinControl* control_;
  QPointer<QWidget> widget_;
  QWidget* input_;
  bool native_;
  bool passToNative_ = false;
  QEvent* current_ = nullptr;
  std::deque<QPoint> placed_;  // places asked for since the window manager last placed it, oldest first
  std::map<uintptr_t, int> timers_;  // our id -> toolkit timer id
};

// A plain widget whose painting is done by the control through WM_PAINT.
class TPaintWidget : public QWidget {
 public:
  TPaintWidget() {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
  }
  TWindowHandle* handle = nullptr;  // set by the handle that owns this widget
 protected:
  void paintEvent(QPaintEvent* e) override {
    if (!handle) return;
    QPoint offset;
    QPaintDevice* device = sharedPainter() ? nullptr : redirected(&offset);
    handle->PaintEvent(e->region(), device, -offset);
  }
};

// Virtual key code of a toolkit key.
int VirtualKeyOf(int qtKey);

int QtKeyOf(int vk);
TShiftState ShiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons b = Qt::NoButton);
// The last pointer position the program saw (real or synthetic).
extern TPoint gLastPointer;
// Mouse buttons currently down as the routing saw them.
extern Qt::MouseButtons gButtonsDown;

// Gives the activation to the window that holds the program's modal loop (the newest message box,
// else the topmost modal form); false when there is none. (Forms.cpp)
bool HandActivationToModal();

}  // namespace corvane
