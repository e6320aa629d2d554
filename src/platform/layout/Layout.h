// Window layouts: a declarative text per window that names each component, its class, its
// published properties and its event bindings, read by a small property-streaming loader.
//
//   object Form1: TForm1
//     ClientWidth = 906
//     Caption = 'Corvane'
//     Font.Name = '宋体'
//     OnCreate = FormCreate
//     object Image1: TImage
//       Left = 0
//       Picture = 'form1_bg.jpg'        (a built-in picture by file name)
//       OnMouseDown = Image1MouseDown   (a handler the form publishes by name)
//     end
//   end
//
// Values: integers (decimal or $hex), floats, 'strings' (UTF-8; '' is a quote; #NNN a code
// point), identifiers (True, bsNone, clWhite ...), sets [a, b], lists ('line' 'line') and
// binary data { hex digits }. Properties apply in file order while the component is loading;
// Loaded() runs for every component once the whole file is read. Unknown classes, properties,
// values or handlers raise ELayoutError naming the file and line.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/windows/Forms.h"

namespace corvane {

struct TLayoutValue {
  enum class Kind { Integer, Float, String, Identifier, Set, List, Binary };
  Kind kind = Kind::Integer;
  long long integer = 0;
  double number = 0;
  std::string text;                // String, Identifier, Binary (raw bytes)
  std::vector<std::string> items;  // Set, List
  std::string file;
  int line = 0;

  int AsInt() const;
  bool AsBool() const;
  double AsFloat() const;
  const std::string& AsString() const;
  const std::string& AsIdent() const;
  TColor AsColor() const;  // an integer or a colour name (clWhite, clBtnFace ...)
  TFontCharset AsCharset() const;  // an integer or a name (DEFAULT_CHARSET, GB2312_CHARSET ...)
  TFontStyles AsFontStyles() const;  // a set of fsBold, fsItalic, fsUnderline, fsStrikeOut
  // Raises ELayoutError "file(line): message".
  [[noreturn]] void Fail(const std::string& message) const;
};

class TLayoutContext {
 public:
  TLayoutContext(TForm* form, std::string file) : form_(form), file_(std::move(file)) {}
  TForm* Form() const { return form_; }
  // The handler the form publishes under the value's name, of the event's type.
  template <class Event>
  Event Handler(const TLayoutValue& v) const {
    const THandler* h = form_->FindHandler(v.AsIdent());
    if (!h) v.Fail("the form has no handler named " + v.AsIdent());
    const Event* e = std::get_if<Event>(h);
    if (!e) v.Fail("handler " + v.AsIdent() + " does not fit this event");
    return *e;
  }
  // A component of the form by name (for references such as SkinData = skSkinData1).
  TComponent* Component(const TLayoutValue& v) const;
  // The same, of the class the property needs; `kind` names it in the error ("an action").
  template <class T>
  T* ComponentOf(const TLayoutValue& v, const char* kind) const {
    auto* c = dynamic_cast<T*>(Component(v));
    if (!c) v.Fail(v.AsIdent() + " is not " + kind);
    return c;
  }
 private:
  TForm* form_;
  std::string file_;
};

using TPropertySetter = std::function<void(TComponent* instance, const TLayoutValue& value, TLayoutContext& ctx)>;
using TComponentFactory = std::function<TComponent*(TComponent* owner)>;

// Registers a class the layouts may name, with the class its published properties come from.
void RegisterComponentClass(const std::string& className, const std::string& parentClass, TComponentFactory factory);
void RegisterProperty(const std::string& className, const std::string& property, TPropertySetter setter);
bool IsClassRegistered(const std::string& className);

// Convenience for typed setters: RegisterProp<TImage>("TImage", "Stretch", [](TImage* c, const
// TLayoutValue& v, TLayoutContext&) { c->Stretch = v.AsBool(); });
template <class T>
void RegisterProp(const std::string& className, const std::string& property,
                  std::function<void(T*, const TLayoutValue&, TLayoutContext&)> setter) {
  RegisterProperty(className, property, [setter](TComponent* c, const TLayoutValue& v, TLayoutContext& ctx) {
    T* t = dynamic_cast<T*>(c);
    if (!t) v.Fail("property does not apply to " + c->ClassName());
    setter(t, v, ctx);
  });
}

// Registers Font.Name, Font.Height, Font.Color, Font.Charset and Font.Style for a component
// class that is not a control, whose font `fontOf` gives (another prefix than "Font" names
// another font of the component: "DefCaptionFont.Name" ...).
void RegisterFontProperties(const std::string& className, std::function<TFont&(TComponent*)> fontOf,
                            const std::string& prefix = "Font");

// Reads a layout into an existing form: the root object's properties go to the form, nested
// objects are created (owned by the form, parented to the enclosing control when they are
// controls). The form's own class name must match the root object's class.
void LoadLayout(TForm* form, std::string_view text, const std::string& fileName);
// Layout texts built into the program, by file name ("MainWindow.lfm"): a copy of the text, or
// (built-in) the text itself, which must live as long as the program (a literal).
void RegisterLayoutText(const std::string& fileName, std::string_view text);
void RegisterBuiltInLayoutText(const std::string& fileName, std::string_view text);
std::string_view LayoutText(const std::string& fileName);

// Registers the platform's own classes (TForm, TImage, TLabel, TPanel, TShape ...). Called once.
void RegisterPlatformClasses();
// Part of the above: image lists, actions, toolbars, menus and the common dialogs.
void RegisterCommonControlClasses();

}  // namespace corvane
