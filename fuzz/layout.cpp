// Layout loader: any text either builds a form or raises the program's own error (a layout error
// naming file and line, a conversion, stream or picture error), and a failed load leaves nothing
// behind but the form it was loading into, which is destroyed with everything it owns.
//
// The form takes the class name the text's root object asks for and answers every handler name
// the text binds with a handler of the event's type, so that the window layouts of the program
// load here as far as they do in the program.
#include <cctype>
#include <cstdlib>
#include <regex>

#include "FuzzSupport.h"
#include "controls/Register.h"
#include "platform/layout/Layout.h"
#include "platform/windows/Forms.h"
#include "skin/Register.h"

using namespace corvane;

namespace {

class FuzzForm : public TForm {
 public:
  FuzzForm(std::string className, std::string_view text) : TForm(nullptr), className_(std::move(className)) {
    // "OnEvent = Handler" pairs, the handler given the type the event takes.
    auto word = [&](size_t& i) {
      size_t b = i;
      while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_')) ++i;
      return std::string(text.substr(b, i - b));
    };
    auto blanks = [&](size_t& i) { while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i; };
    for (size_t at = text.find("On"); at != std::string_view::npos; at = text.find("On", at + 1)) {
      if (at > 0 && (std::isalnum(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '_')) continue;
      size_t i = at;
      std::string ev = word(i);
      blanks(i);
      if (i >= text.size() || text[i] != '=') continue;
      ++i;
      blanks(i);
      std::string name = word(i);
      if (name.empty()) continue;
      Publish(ev, name);
    }
  }
  std::string ClassName() const override { return className_; }

 private:
  void Publish(const std::string& ev, const std::string& name) {
    if (ev == "OnMouseDown" || ev == "OnMouseUp")
      PublishHandler(name, TMouseEvent([](TObject*, TMouseButton, TShiftState, int, int) {}));
    else if (ev == "OnMouseMove")
      PublishHandler(name, TMouseMoveEvent([](TObject*, TShiftState, int, int) {}));
    else if (ev == "OnKeyDown" || ev == "OnKeyUp")
      PublishHandler(name, TKeyEvent([](TObject*, int&, TShiftState) {}));
    else if (ev == "OnKeyPress")
      PublishHandler(name, TKeyPressEvent([](TObject*, char32_t&) {}));
    else if (ev == "OnClose")
      PublishHandler(name, TCloseEvent([](TObject*, TCloseAction&) {}));
    else if (ev == "OnCloseQuery")
      PublishHandler(name, TCloseQueryEvent([](TObject*, bool&) {}));
    else
      PublishHandler(name, TNotifyEvent([](TObject*) {}));
  }

  std::string className_;
};

// The root object's class: "object Name: TClass".
std::string RootClass(std::string_view text) {
  static const std::regex root(R"(^\s*object\s+[A-Za-z_][A-Za-z0-9_]*\s*:\s*([A-Za-z_][A-Za-z0-9_]*))");
  std::string head(text.substr(0, 256));
  std::smatch m;
  return std::regex_search(head, m, root) ? m[1].str() : "TForm";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // The forms are never shown; no display is needed.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  TApplication::Initialize(*argc, *argv);
  static TApplication app;
  app.Title = "Corvane";
  RegisterPlatformClasses();
  RegisterThemedControls();
  RegisterSkinComponents();
  // The program's window classes take their properties from TForm.
  for (const char* cls : {"TForm1", "TForm2", "TForm3", "TForm4", "TForm5"})
    if (!IsClassRegistered(cls)) RegisterComponentClass(cls, "TForm", nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text = fuzz::Bytes(data, size);
  auto* form = new FuzzForm(RootClass(text), text);
  try {
    LoadLayout(form, text, "fuzz.lfm");
  } catch (const Exception& e) {
    fuzz::Refused(e);
  }
  delete form;
  return 0;
}
