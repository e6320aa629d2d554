#include "app/Conventions.h"

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "app/ReadingWindow.h"
#include "app/ReferenceWindow.h"
#include "controls/Register.h"
#include "hints/FlatHint.h"
#include "skin/Register.h"
#include "skin/package/SkinData.h"

namespace corvane {

TForm1* Form1 = nullptr;
TForm2* Form2 = nullptr;
TForm3* Form3 = nullptr;
TForm4* Form4 = nullptr;
TForm5* Form5 = nullptr;

void BeginWindowDrag(TForm* window) {
  ReleaseCapture();
  if (window) SendMessage(window, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

void PublishPictureButtons(TForm* form, std::function<TForm*()> current, bool hasMinimise) {
  form->PublishHandler("Image1MouseDown", TMouseEvent([current](TObject*, TMouseButton, TShiftState, int, int) {
    BeginWindowDrag(current());
  }));
  form->PublishHandler("Image1MouseMove", TMouseMoveEvent([form, hasMinimise](TObject*, TShiftState, int, int) {
    if (hasMinimise) Find<TControl>(form, "w1")->Hide();
    Find<TControl>(form, "w2")->Hide();
  }));
  form->PublishHandler("ww2MouseMove", TMouseMoveEvent([form, hasMinimise](TObject*, TShiftState, int, int) {
    Find<TControl>(form, "w2")->Show();
    if (hasMinimise) Find<TControl>(form, "w1")->Hide();
  }));
  form->PublishHandler("w2Click", TNotifyEvent([form](TObject*) { form->Close(); }));
  if (hasMinimise) {
    form->PublishHandler("ww1MouseMove", TMouseMoveEvent([form](TObject*, TShiftState, int, int) {
      Find<TControl>(form, "w1")->Show();
      Find<TControl>(form, "w2")->Hide();
    }));
    form->PublishHandler("w1Click", TNotifyEvent([](TObject*) { Application->Minimize(); }));
  }
}

void RegisterApplicationClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterPlatformClasses();
  RegisterThemedControls();
  RegisterSkinComponents();
  RegisterHintComponents();
  // Skin data announces a changed skin to every window, the one that owns it first.
  auto& messenger = SkinFormMessenger();
  messenger.IsForm = [](TComponent* c) { return dynamic_cast<TForm*>(c) != nullptr; };
  messenger.Forms = [] {
    std::vector<TComponent*> forms;
    for (TForm* f : Screen->FormList()) forms.push_back(f);
    return forms;
  };
  messenger.Send = [](TComponent* form, TMessage& m) {
    if (auto* f = dynamic_cast<TForm*>(form)) m.Result = f->Perform(m.Msg, m.WParam, m.LParam);
  };
  RegisterBuiltInLayouts();
  for (const char* cls : {"TForm1", "TForm2", "TForm3", "TForm4", "TForm5", "TJournalWindow"}) RegisterComponentClass(cls, "TForm", nullptr);
}

void BuildFromLayout(TForm* form, const char* layoutFile) {
  RegisterApplicationClasses();
  LoadLayout(form, LayoutText(layoutFile), layoutFile);
  form->DoCreate();
}

}  // namespace corvane
