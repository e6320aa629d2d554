// What every window of the program shares: the current reference of each window class, dragging
// a window by its background, the picture buttons, and the open-modal pattern.
#pragma once

#include <functional>
#include <memory>

#include "platform/layout/Layout.h"
#include "platform/widgets/StdCtrls.h"
#include "platform/windows/Forms.h"

namespace corvane {

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;

// The instance in use of each window class (start-up stores the first ones; every opening of a
// secondary window replaces its reference with the fresh instance).
extern TForm1* Form1;
extern TForm2* Form2;
extern TForm3* Form3;
extern TForm4* Form4;
extern TForm5* Form5;

// Starts the window system's move loop for `window`, as a drag of its (absent) title bar would.
void BeginWindowDrag(TForm* window);

// Publishes the handlers every secondary window shares: drag by the background (the window named
// by its class's current reference), the close button's hover picture and click, and the
// minimise button's when the window has one.
void PublishPictureButtons(TForm* form, std::function<TForm*()> current, bool hasMinimise);

// Loads a window's built-in layout and runs its creation handler.
void BuildFromLayout(TForm* form, const char* layoutFile);

// The open-modal pattern: create a fresh instance owned by the application, make it the current
// reference, fill it, show it modally, destroy it. When the fill fails the instance is destroyed
// at once (it is never shown) and the error goes on to the error box.
template <class T, class Fill>
void OpenModal(T*& current, Fill fill) {
  std::unique_ptr<T> form(new T(Application));
  current = form.get();
  fill(*form);
  form->ShowModal();
}

// Looks up a component of the form by name and type; raises when the layout lacks it.
template <class T>
T* Find(TComponent* owner, const std::string& name) {
  T* c = dynamic_cast<T*>(owner->FindComponent(name));
  if (!c) throw EComponentError("Component " + name + " not found");
  return c;
}

void RegisterBuiltInLayouts();
// Registers the window classes and every control class the layouts use.
void RegisterApplicationClasses();

}  // namespace corvane
