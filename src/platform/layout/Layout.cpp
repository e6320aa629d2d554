#include "platform/layout/Layout.h"

#include <cctype>
#include <map>
#include <memory>

#include "platform/core/Encoding.h"
#include "platform/widgets/StdCtrls.h"
#include "platform/widgets/WebBrowser.h"

namespace corvane {

namespace {

struct ClassInfo {
  std::string parent;
  TComponentFactory factory;
  std::map<std::string, TPropertySetter> properties;  // keys in lower case
};

std::map<std::string, ClassInfo>& Registry() {
  static std::map<std::string, ClassInfo> r;
  return r;
}

struct LayoutTextEntry {
  std::string copy;       // the text, when it was registered as a copy
  std::string_view text;  // the copy, or text that lives as long as the program
};

std::map<std::string, LayoutTextEntry>& Texts() {
  static std::map<std::string, LayoutTextEntry> t;
  return t;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

const TPropertySetter* FindSetter(const std::string& className, const std::string& prop) {
  std::string key = Lower(prop);
  for (std::string cls = className; !cls.empty();) {
    auto it = Registry().find(cls);
    if (it == Registry().end()) return nullptr;
    auto p = it->second.properties.find(key);
    if (p != it->second.properties.end()) return &p->second;
    cls = it->second.parent;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
class Parser {
 public:
  Parser(std::string_view text, std::string file) : s_(text), file_(std::move(file)) {}

  [[noreturn]] void Fail(const std::string& msg) const {
    throw ELayoutError(file_ + "(" + std::to_string(line_) + "): " + msg);
  }

  void SkipBlanks() {
    for (;;) {
      while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) {
        if (s_[pos_] == '\n') ++line_;
        ++pos_;
      }
      if (pos_ + 1 < s_.size() && s_[pos_] == '/' && s_[pos_ + 1] == '/') {
        while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
        continue;
      }
      break;
    }
  }

  bool AtEnd() { SkipBlanks(); return pos_ >= s_.size(); }
  int Line() const { return line_; }

  std::string Word() {
    SkipBlanks();
    size_t start = pos_;
    while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_' || s_[pos_] == '.'))
      ++pos_;
    if (start == pos_) Fail(std::string("expected a name, found '") + (pos_ < s_.size() ? s_[pos_] : '?') + "'");
    return std::string(s_.substr(start, pos_ - start));
  }

  bool Peek(char c) { SkipBlanks(); return pos_ < s_.size() && s_[pos_] == c; }
  void Expect(char c) {
    if (!Peek(c)) Fail(std::string("expected '") + c + "'");
    ++pos_;
  }

  TLayoutValue Value() {
    SkipBlanks();
    TLayoutValue v;
    v.file = file_;
    v.line = line_;
    if (pos_ >= s_.size()) Fail("expected a value");
    char c = s_[pos_];
    if (c == '\'' || c == '#') {
      v.kind = TLayoutValue::Kind::String;
      v.text = StringValue();
    } else if (c == '[') {
      v.kind = TLayoutValue::Kind::Set;
      ++pos_;
      while (!Peek(']')) {
        v.items.push_back(Word());
        if (Peek(',')) ++pos_;
      }
      ++pos_;
    } else if (c == '(') {
      v.kind = TLayoutValue::Kind::List;
      ++pos_;
      while (!Peek(')')) {
        if (pos_ >= s_.size()) Fail("unterminated list");
        v.items.push_back(StringValue());
      }
      ++pos_;
    } else if (c == '{') {
      v.kind = TLayoutValue::Kind::Binary;
      ++pos_;
      // Two hex digits a byte, blanks and line breaks anywhere between digits.
      auto digit = [](char ch) -> int {
        if (ch >= '0' && ch <= '9') return ch - '0';
        if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
        if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
        return -1;
      };
      const size_t end = s_.find('}', pos_);
      v.text.reserve(end == std::string_view::npos ? 0 : (end - pos_) / 2);
      int high = -1;  // the first digit of a byte still waiting for its second
      for (;;) {
        SkipBlanks();
        if (pos_ >= s_.size()) Fail("unterminated binary data");
        const char ch = s_[pos_];
        if (ch == '}') { ++pos_; break; }
        const int d = digit(ch);
        if (d < 0) Fail("bad character in binary data");
        ++pos_;
        if (high < 0) {
          high = d;
        } else {
          v.text += static_cast<char>(high << 4 | d);
          high = -1;
        }
      }
      if (high >= 0) Fail("odd number of hex digits");
    } else if (c == '-' || c == '+' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
      size_t start = pos_;
      ++pos_;
      bool hex = c == '$';
      bool isFloat = false;
      while (pos_ < s_.size() && (std::isxdigit(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '.' || (hex && std::isalnum(static_cast<unsigned char>(s_[pos_]))))) {
        if (s_[pos_] == '.') isFloat = true;
        ++pos_;
      }
      std::string num(s_.substr(start, pos_ - start));
      try {
        if (isFloat) { v.kind = TLayoutValue::Kind::Float; v.number = std::stod(num); }
        else if (hex) { v.integer = std::stoll(num.substr(1), nullptr, 16); }
        else { v.integer = std::stoll(num); }
      } catch (const std::exception&) {
        Fail("bad number " + num);
      }
    } else {
      v.kind = TLayoutValue::Kind::Identifier;
      v.text = Word();
    }
    return v;
  }

 private:
  std::string StringValue() {
    std::string out;
    SkipBlanks();
    bool any = false;
    while (pos_ < s_.size()) {
      if (s_[pos_] == '\'') {
        ++pos_;
        for (;;) {
          if (pos_ >= s_.size() || s_[pos_] == '\n') Fail("unterminated string");
          if (s_[pos_] == '\'') {
            if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') { out += '\''; pos_ += 2; continue; }
            ++pos_;
            break;
          }
          out += s_[pos_++];
        }
        any = true;
      } else if (s_[pos_] == '#') {
        ++pos_;
        size_t start = pos_;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        if (start == pos_) Fail("bad character code");
        AppendUtf8(out, static_cast<char32_t>(std::stoul(std::string(s_.substr(start, pos_ - start)))));
        any = true;
      } else if (s_[pos_] == '+' && any) {
        ++pos_;  // 'a' + 'b' continues the string
        SkipBlanks();
      } else {
        break;
      }
    }
    if (!any) Fail("expected a string");
    return out;
  }

  std::string_view s_;
  std::string file_;
  size_t pos_ = 0;
  int line_ = 1;
};

void ReadObject(Parser& p, TForm* form, TComponent* instance, TLayoutContext& ctx, std::vector<TComponent*>& loaded) {
  // Properties and nested objects until "end".
  for (;;) {
    if (p.AtEnd()) p.Fail("missing 'end'");
    std::string word = p.Word();
    if (word == "end") return;
    if (word == "object") {
      std::string name = p.Word();
      p.Expect(':');
      std::string cls = p.Word();
      auto it = Registry().find(cls);
      if (it == Registry().end() || !it->second.factory) p.Fail("unknown class " + cls);
      TComponent* child = it->second.factory(form);
      child->BeginLoading();
      child->SetName(name);
      if (auto* control = dynamic_cast<TControl*>(child)) {
        auto* parent = dynamic_cast<TWinControl*>(instance);
        if (parent) control->SetParent(parent);
      } else {
        child->SetParentComponent(instance);
      }
      loaded.push_back(child);
      ReadObject(p, form, child, ctx, loaded);
      continue;
    }
    int line = p.Line();
    p.Expect('=');
    TLayoutValue v = p.Value();
    v.line = line;
    const TPropertySetter* setter = FindSetter(instance->ClassName(), word);
    if (!setter) p.Fail("unknown property " + word + " of " + instance->ClassName());
    (*setter)(instance, v, ctx);
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------

void TLayoutValue::Fail(const std::string& message) const {
  throw ELayoutError(file + "(" + std::to_string(line) + "): " + message);
}

int TLayoutValue::AsInt() const {
  if (kind != Kind::Integer) Fail("expected an integer");
  return static_cast<int>(integer);
}

double TLayoutValue::AsFloat() const {
  if (kind == Kind::Integer) return static_cast<double>(integer);
  if (kind != Kind::Float) Fail("expected a number");
  return number;
}

bool TLayoutValue::AsBool() const {
  if (kind == Kind::Identifier) {
    std::string l = Lower(text);
    if (l == "true") return true;
    if (l == "false") return false;
  }
  Fail("expected True or False");
}

const std::string& TLayoutValue::AsString() const {
  if (kind != Kind::String) Fail("expected a string");
  return text;
}

const std::string& TLayoutValue::AsIdent() const {
  if (kind != Kind::Identifier) Fail("expected a name");
  return text;
}

TColor TLayoutValue::AsColor() const {
  if (kind == Kind::Integer) return static_cast<TColor>(integer);
  static const std::map<std::string, TColor> kNames = {
      {"clblack", clBlack}, {"clmaroon", clMaroon}, {"clgreen", clGreen}, {"clolive", clOlive}, {"clnavy", clNavy},
      {"clpurple", clPurple}, {"clteal", clTeal}, {"clgray", clGray}, {"clsilver", clSilver}, {"clred", clRed},
      {"cllime", clLime}, {"clyellow", clYellow}, {"clblue", clBlue}, {"clfuchsia", clFuchsia}, {"claqua", clAqua},
      {"clwhite", clWhite}, {"clnone", clNone}, {"cldefault", clDefault}, {"clbtnface", clBtnFace},
      {"clwindow", clWindow}, {"clwindowtext", clWindowText}, {"clbtntext", clBtnText}, {"clbtnshadow", clBtnShadow},
      {"clbtnhighlight", clBtnHighlight}, {"clhighlight", clHighlight}, {"clhighlighttext", clHighlightText},
      {"clinfobk", clInfoBk}, {"clinfotext", clInfoText}, {"clgraytext", clGrayText}, {"clmenu", clMenu},
      {"clmenutext", clMenuText}, {"clactivecaption", clActiveCaption}, {"clcaptiontext", clCaptionText}};
  if (kind == Kind::Identifier) {
    auto it = kNames.find(Lower(text));
    if (it != kNames.end()) return it->second;
  }
  Fail("expected a colour");
}

TFontCharset TLayoutValue::AsCharset() const {
  static const std::map<std::string, int> kSets = {{"ansi_charset", ANSI_CHARSET}, {"default_charset", DEFAULT_CHARSET},
                                                   {"gb2312_charset", GB2312_CHARSET}, {"oem_charset", OEM_CHARSET}};
  if (kind == Kind::Integer) return AsInt();
  auto it = kSets.find(Lower(AsIdent()));
  if (it == kSets.end()) Fail("unknown character set " + text);
  return it->second;
}

TFontStyles TLayoutValue::AsFontStyles() const {
  if (kind != Kind::Set) Fail("expected a set of font styles");
  TFontStyles s = 0;
  for (const std::string& i : items) {
    std::string l = Lower(i);
    if (l == "fsbold") s |= fsBold; else if (l == "fsitalic") s |= fsItalic;
    else if (l == "fsunderline") s |= fsUnderline; else if (l == "fsstrikeout") s |= fsStrikeOut;
    else Fail("unknown font style " + i);
  }
  return s;
}

void RegisterFontProperties(const std::string& cls, std::function<TFont&(TComponent*)> fontOf, const std::string& prefix) {
  RegisterProperty(cls, prefix + ".Name", [fontOf](TComponent* c, const TLayoutValue& v, TLayoutContext&) { fontOf(c).SetName(v.AsString()); });
  RegisterProperty(cls, prefix + ".Height", [fontOf](TComponent* c, const TLayoutValue& v, TLayoutContext&) { fontOf(c).SetHeight(v.AsInt()); });
  RegisterProperty(cls, prefix + ".Color", [fontOf](TComponent* c, const TLayoutValue& v, TLayoutContext&) { fontOf(c).SetColor(v.AsColor()); });
  RegisterProperty(cls, prefix + ".Charset", [fontOf](TComponent* c, const TLayoutValue& v, TLayoutContext&) { fontOf(c).SetCharset(v.AsCharset()); });
  RegisterProperty(cls, prefix + ".Style", [fontOf](TComponent* c, const TLayoutValue& v, TLayoutContext&) { fontOf(c).SetStyle(v.AsFontStyles()); });
}

TComponent* TLayoutContext::Component(const TLayoutValue& v) const {
  TComponent* c = form_->FindComponent(v.AsIdent());
  if (!c) v.Fail("no component named " + v.AsIdent());
  return c;
}

void RegisterComponentClass(const std::string& className, const std::string& parentClass, TComponentFactory factory) {
  auto& info = Registry()[className];
  info.parent = parentClass;
  info.factory = std::move(factory);
}

void RegisterProperty(const std::string& className, const std::string& property, TPropertySetter setter) {
  Registry()[className].properties[Lower(property)] = std::move(setter);
}

bool IsClassRegistered(const std::string& className) { return Registry().count(className) != 0; }

void RegisterLayoutText(const std::string& fileName, std::string_view text) {
  LayoutTextEntry& e = Texts()[fileName];
  e.copy.assign(text);
  e.text = e.copy;
}

void RegisterBuiltInLayoutText(const std::string& fileName, std::string_view text) {
  LayoutTextEntry& e = Texts()[fileName];
  e.copy.clear();
  e.copy.shrink_to_fit();
  e.text = text;
}

std::string_view LayoutText(const std::string& fileName) {
  auto it = Texts().find(fileName);
  if (it == Texts().end()) throw ELayoutError("no layout named " + fileName);
  return it->second.text;
}

void LoadLayout(TForm* form, std::string_view text, const std::string& fileName) {
  RegisterPlatformClasses();
  Parser p(text, fileName);
  if (p.Word() != "object") p.Fail("a layout starts with 'object'");
  std::string name = p.Word();
  p.Expect(':');
  std::string cls = p.Word();
  if (cls != form->ClassName()) p.Fail("layout is for " + cls + ", not " + form->ClassName());
  TLayoutContext ctx(form, fileName);
  std::vector<TComponent*> loaded{form};
  form->BeginLoading();
  form->SetName(name);
  ReadObject(p, form, form, ctx, loaded);
  if (!p.AtEnd()) p.Fail("text after the final 'end'");
  for (TComponent* c : loaded) c->Loaded();
}

// ---------------------------------------------------------------------------------------------
// The platform's own classes.

namespace {

void FontProps(const std::string& cls) {
  RegisterProp<TControl>(cls, "Font.Name", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->Font().SetName(v.AsString()); c->SetParentFont(false); });
  RegisterProp<TControl>(cls, "Font.Height", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->Font().SetHeight(v.AsInt()); c->SetParentFont(false); });
  RegisterProp<TControl>(cls, "Font.Color", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->Font().SetColor(v.AsColor()); c->SetParentFont(false); });
  RegisterProp<TControl>(cls, "Font.Charset", [](TControl* c, const TLayoutValue& v, TLayoutContext&) {
    c->Font().SetCharset(v.AsCharset());
    c->SetParentFont(false);
  });
  RegisterProp<TControl>(cls, "Font.Style", [](TControl* c, const TLayoutValue& v, TLayoutContext&) {
    c->Font().SetStyle(v.AsFontStyles());
    c->SetParentFont(false);
  });
}

TCursor CursorOf(const TLayoutValue& v) {
  static const std::map<std::string, TCursor> kCursors = {{"crdefault", crDefault}, {"crarrow", crArrow},
      {"crhandpoint", crHandPoint}, {"cribeam", crIBeam}, {"crcross", crCross}, {"crsizeall", crSizeAll}};
  if (v.kind == TLayoutValue::Kind::Integer) return v.AsInt();
  auto it = kCursors.find(Lower(v.AsIdent()));
  if (it == kCursors.end()) v.Fail("unknown cursor " + v.text);
  return it->second;
}

template <class E>
E EnumOf(const TLayoutValue& v, std::initializer_list<std::pair<const char*, E>> names) {
  std::string l = Lower(v.AsIdent());
  for (auto& [n, e] : names)
    if (Lower(n) == l) return e;
  v.Fail("unknown value " + v.text);
}

}  // namespace

void RegisterPlatformClasses() {
  static bool done = false;
  if (done) return;
  done = true;

  RegisterComponentClass("TComponent", "", nullptr);
  RegisterComponentClass("TControl", "TComponent", nullptr);
  const std::string C = "TControl";
  RegisterProp<TControl>(C, "Left", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetLeft(v.AsInt()); });
  RegisterProp<TControl>(C, "Top", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetTop(v.AsInt()); });
  RegisterProp<TControl>(C, "Width", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetWidth(v.AsInt()); });
  RegisterProp<TControl>(C, "Height", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetHeight(v.AsInt()); });
  RegisterProp<TControl>(C, "ClientWidth", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetClientSize(v.AsInt(), c->ClientHeight()); });
  RegisterProp<TControl>(C, "ClientHeight", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetClientSize(c->ClientWidth(), v.AsInt()); });
  RegisterProp<TControl>(C, "Visible", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetVisible(v.AsBool()); });
  RegisterProp<TControl>(C, "Enabled", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetEnabled(v.AsBool()); });
  RegisterProp<TControl>(C, "Caption", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetCaption(v.AsString()); });
  RegisterProp<TControl>(C, "Text", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetText(v.AsString()); });
  RegisterProp<TControl>(C, "Color", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetColor(v.AsColor()); });
  RegisterProp<TControl>(C, "ParentColor", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetParentColor(v.AsBool()); });
  RegisterProp<TControl>(C, "ParentFont", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetParentFont(v.AsBool()); });
  RegisterProp<TControl>(C, "Cursor", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetCursor(CursorOf(v)); });
  RegisterProp<TControl>(C, "Hint", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->Hint = v.AsString(); });
  RegisterProp<TControl>(C, "ShowHint", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->ShowHint = v.AsBool(); c->ParentShowHint = false; });
  RegisterProp<TControl>(C, "ParentShowHint", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->ParentShowHint = v.AsBool(); });
  RegisterProp<TControl>(C, "Tag", [](TControl* c, const TLayoutValue& v, TLayoutContext&) { c->Tag = v.AsInt(); });
  RegisterProp<TControl>(C, "OnClick", [](TControl* c, const TLayoutValue& v, TLayoutContext& x) { c->OnClick = x.Handler<TNotifyEvent>(v); });
  RegisterProp<TControl>(C, "OnDblClick", [](TControl* c, const TLayoutValue& v, TLayoutContext& x) { c->OnDblClick = x.Handler<TNotifyEvent>(v); });
  RegisterProp<TControl>(C, "OnMouseDown", [](TControl* c, const TLayoutValue& v, TLayoutContext& x) { c->OnMouseDown = x.Handler<TMouseEvent>(v); });
  RegisterProp<TControl>(C, "OnMouseUp", [](TControl* c, const TLayoutValue& v, TLayoutContext& x) { c->OnMouseUp = x.Handler<TMouseEvent>(v); });
  RegisterProp<TControl>(C, "OnMouseMove", [](TControl* c, const TLayoutValue& v, TLayoutContext& x) { c->OnMouseMove = x.Handler<TMouseMoveEvent>(v); });
  RegisterProp<TControl>(C, "OnMouseEnter", [](TControl* c, const TLayoutValue& v, TLayoutContext& x) { c->OnMouseEnter = x.Handler<TNotifyEvent>(v); });
  RegisterProp<TControl>(C, "OnMouseLeave", [](TControl* c, const TLayoutValue& v, TLayoutContext& x) { c->OnMouseLeave = x.Handler<TNotifyEvent>(v); });
  FontProps(C);

  RegisterComponentClass("TGraphicControl", C, nullptr);
  RegisterComponentClass("TWinControl", C, nullptr);
  const std::string W = "TWinControl";
  RegisterProp<TWinControl>(W, "TabOrder", [](TWinControl* c, const TLayoutValue& v, TLayoutContext&) { c->SetTabOrder(v.AsInt()); });
  RegisterProp<TWinControl>(W, "TabStop", [](TWinControl* c, const TLayoutValue& v, TLayoutContext&) { c->TabStop = v.AsBool(); });
  RegisterProp<TWinControl>(W, "OnKeyPress", [](TWinControl* c, const TLayoutValue& v, TLayoutContext& x) { c->OnKeyPress = x.Handler<TKeyPressEvent>(v); });
  RegisterProp<TWinControl>(W, "OnKeyDown", [](TWinControl* c, const TLayoutValue& v, TLayoutContext& x) { c->OnKeyDown = x.Handler<TKeyEvent>(v); });
  RegisterProp<TWinControl>(W, "OnKeyUp", [](TWinControl* c, const TLayoutValue& v, TLayoutContext& x) { c->OnKeyUp = x.Handler<TKeyEvent>(v); });
  RegisterProp<TWinControl>(W, "OnEnter", [](TWinControl* c, const TLayoutValue& v, TLayoutContext& x) { c->OnEnter = x.Handler<TNotifyEvent>(v); });
  RegisterProp<TWinControl>(W, "OnExit", [](TWinControl* c, const TLayoutValue& v, TLayoutContext& x) { c->OnExit = x.Handler<TNotifyEvent>(v); });
  RegisterComponentClass("TCustomControl", W, nullptr);

  const std::string F = "TForm";
  RegisterComponentClass(F, W, nullptr);
  RegisterProp<TForm>(F, "BorderStyle", [](TForm* f, const TLayoutValue& v, TLayoutContext&) {
    f->SetBorderStyle(EnumOf<TFormBorderStyle>(v, {{"bsNone", TFormBorderStyle::bsNone}, {"bsSingle", TFormBorderStyle::bsSingle},
        {"bsSizeable", TFormBorderStyle::bsSizeable}, {"bsDialog", TFormBorderStyle::bsDialog},
        {"bsToolWindow", TFormBorderStyle::bsToolWindow}, {"bsSizeToolWin", TFormBorderStyle::bsSizeToolWin}}));
  });
  RegisterProp<TForm>(F, "Position", [](TForm* f, const TLayoutValue& v, TLayoutContext&) {
    f->Position = EnumOf<TPosition>(v, {{"poDesigned", TPosition::poDesigned}, {"poDefault", TPosition::poDefault},
        {"poScreenCenter", TPosition::poScreenCenter}, {"poDesktopCenter", TPosition::poDesktopCenter},
        {"poMainFormCenter", TPosition::poMainFormCenter}});
  });
  RegisterProp<TForm>(F, "KeyPreview", [](TForm* f, const TLayoutValue& v, TLayoutContext&) { f->KeyPreview = v.AsBool(); });
  RegisterProp<TForm>(F, "Scaled", [](TForm* f, const TLayoutValue& v, TLayoutContext&) { f->Scaled = v.AsBool(); });
  RegisterProp<TForm>(F, "PixelsPerInch", [](TForm* f, const TLayoutValue& v, TLayoutContext&) { f->PixelsPerInch = v.AsInt(); });
  RegisterProp<TForm>(F, "OnCreate", [](TForm* f, const TLayoutValue& v, TLayoutContext& x) { f->OnCreate = x.Handler<TNotifyEvent>(v); });
  RegisterProp<TForm>(F, "OnDestroy", [](TForm* f, const TLayoutValue& v, TLayoutContext& x) { f->OnDestroy = x.Handler<TNotifyEvent>(v); });
  RegisterProp<TForm>(F, "OnShow", [](TForm* f, const TLayoutValue& v, TLayoutContext& x) { f->OnShow = x.Handler<TNotifyEvent>(v); });
  RegisterProp<TForm>(F, "OnClose", [](TForm* f, const TLayoutValue& v, TLayoutContext& x) { f->OnClose = x.Handler<TCloseEvent>(v); });
  RegisterProp<TForm>(F, "OnCloseQuery", [](TForm* f, const TLayoutValue& v, TLayoutContext& x) { f->OnCloseQuery = x.Handler<TCloseQueryEvent>(v); });
  RegisterProp<TForm>(F, "ActiveControl", [](TForm* f, const TLayoutValue& v, TLayoutContext& x) {
    auto* w = dynamic_cast<TWinControl*>(x.Component(v));
    if (!w) v.Fail(v.text + " cannot take the focus");
    f->FocusChanged(w);
  });

  RegisterComponentClass("TImage", "TGraphicControl", [](TComponent* o) { return new TImage(o); });
  RegisterProp<TImage>("TImage", "Picture", [](TImage* c, const TLayoutValue& v, TLayoutContext&) {
    try {
      c->Picture().LoadFromResourceName(v.AsString());
    } catch (const ELayoutError&) {
      throw;
    } catch (const std::exception& e) {
      v.Fail(e.what());
    }
  });
  RegisterProp<TImage>("TImage", "Stretch", [](TImage* c, const TLayoutValue& v, TLayoutContext&) { c->Stretch = v.AsBool(); });
  RegisterProp<TImage>("TImage", "Center", [](TImage* c, const TLayoutValue& v, TLayoutContext&) { c->Center = v.AsBool(); });
  RegisterProp<TImage>("TImage", "Transparent", [](TImage* c, const TLayoutValue& v, TLayoutContext&) { c->Transparent = v.AsBool(); });
  RegisterProp<TImage>("TImage", "AutoSize", [](TImage* c, const TLayoutValue& v, TLayoutContext&) { c->AutoSize = v.AsBool(); });

  RegisterComponentClass("TLabel", "TGraphicControl", [](TComponent* o) { return new TLabel(o); });
  RegisterProp<TLabel>("TLabel", "AutoSize", [](TLabel* c, const TLayoutValue& v, TLayoutContext&) { c->SetAutoSize(v.AsBool()); });
  RegisterProp<TLabel>("TLabel", "Transparent", [](TLabel* c, const TLayoutValue& v, TLayoutContext&) { c->Transparent = v.AsBool(); });
  RegisterProp<TLabel>("TLabel", "Constraints.MinWidth", [](TLabel* c, const TLayoutValue& v, TLayoutContext&) { c->SetMinimumSize(v.AsInt(), c->MinHeight()); });
  RegisterProp<TLabel>("TLabel", "Constraints.MinHeight", [](TLabel* c, const TLayoutValue& v, TLayoutContext&) { c->SetMinimumSize(c->MinWidth(), v.AsInt()); });
  RegisterProp<TLabel>("TLabel", "WordWrap", [](TLabel* c, const TLayoutValue& v, TLayoutContext&) { c->WordWrap = v.AsBool(); });

  RegisterComponentClass("TShape", "TGraphicControl", [](TComponent* o) { return new TShape(o); });
  RegisterProp<TShape>("TShape", "Brush.Color", [](TShape* c, const TLayoutValue& v, TLayoutContext&) { c->Brush().Color = v.AsColor(); });
  RegisterProp<TShape>("TShape", "Pen.Color", [](TShape* c, const TLayoutValue& v, TLayoutContext&) { c->Pen().Color = v.AsColor(); });
  RegisterProp<TShape>("TShape", "Pen.Width", [](TShape* c, const TLayoutValue& v, TLayoutContext&) { c->Pen().Width = v.AsInt(); });

  RegisterComponentClass("TPanel", "TCustomControl", [](TComponent* o) { return new TPanel(o); });
  auto bevel = [](const TLayoutValue& v) {
    return EnumOf<TBevelCut>(v, {{"bvNone", TBevelCut::bvNone}, {"bvLowered", TBevelCut::bvLowered},
                                 {"bvRaised", TBevelCut::bvRaised}, {"bvSpace", TBevelCut::bvSpace}});
  };
  RegisterProp<TPanel>("TPanel", "BevelOuter", [bevel](TPanel* c, const TLayoutValue& v, TLayoutContext&) { c->BevelOuter = bevel(v); });
  RegisterProp<TPanel>("TPanel", "BevelInner", [bevel](TPanel* c, const TLayoutValue& v, TLayoutContext&) { c->BevelInner = bevel(v); });
  RegisterProp<TPanel>("TPanel", "BevelWidth", [](TPanel* c, const TLayoutValue& v, TLayoutContext&) { c->BevelWidth = v.AsInt(); });

  auto border = [](const TLayoutValue& v) {
    return EnumOf<TBorderStyle>(v, {{"bsNone", TBorderStyle::bsNone}, {"bsSingle", TBorderStyle::bsSingle}});
  };
  auto scroll = [](const TLayoutValue& v) {
    return EnumOf<TScrollStyle>(v, {{"ssNone", TScrollStyle::ssNone}, {"ssHorizontal", TScrollStyle::ssHorizontal},
                                    {"ssVertical", TScrollStyle::ssVertical}, {"ssBoth", TScrollStyle::ssBoth}});
  };
  RegisterComponentClass("TEdit", W, [](TComponent* o) { return new TEdit(o); });
  RegisterProp<TEdit>("TEdit", "BorderStyle", [border](TEdit* c, const TLayoutValue& v, TLayoutContext&) { c->SetBorderStyle(border(v)); });
  RegisterProp<TEdit>("TEdit", "ReadOnly", [](TEdit* c, const TLayoutValue& v, TLayoutContext&) { c->SetReadOnly(v.AsBool()); });
  RegisterProp<TEdit>("TEdit", "OnChange", [](TEdit* c, const TLayoutValue& v, TLayoutContext& x) { c->OnChange = x.Handler<TNotifyEvent>(v); });

  RegisterComponentClass("TMemo", W, [](TComponent* o) { return new TMemo(o); });
  RegisterProp<TMemo>("TMemo", "Lines.Strings", [](TMemo* c, const TLayoutValue& v, TLayoutContext&) {
    if (v.kind != TLayoutValue::Kind::List) v.Fail("expected a list of lines");
    c->SetLines(v.items);
  });
  RegisterProp<TMemo>("TMemo", "BorderStyle", [border](TMemo* c, const TLayoutValue& v, TLayoutContext&) { c->SetBorderStyle(border(v)); });
  RegisterProp<TMemo>("TMemo", "ScrollBars", [scroll](TMemo* c, const TLayoutValue& v, TLayoutContext&) { c->SetScrollBars(scroll(v)); });
  RegisterProp<TMemo>("TMemo", "ReadOnly", [](TMemo* c, const TLayoutValue& v, TLayoutContext&) { c->SetReadOnly(v.AsBool()); });
  RegisterProp<TMemo>("TMemo", "WordWrap", [](TMemo* c, const TLayoutValue& v, TLayoutContext&) { c->SetWordWrap(v.AsBool()); });
  RegisterProp<TMemo>("TMemo", "OEMConvert", [](TMemo* c, const TLayoutValue& v, TLayoutContext&) { c->OEMConvert = v.AsBool(); });
  RegisterProp<TMemo>("TMemo", "Ctl3D", [](TMemo* c, const TLayoutValue& v, TLayoutContext&) {
    if (!v.AsBool()) c->SetBorderStyle(TBorderStyle::bsNone);
  });

  RegisterComponentClass("TRichEdit", W, [](TComponent* o) { return new TRichEdit(o); });
  RegisterProp<TRichEdit>("TRichEdit", "BorderStyle", [border](TRichEdit* c, const TLayoutValue& v, TLayoutContext&) { c->SetBorderStyle(border(v)); });
  RegisterProp<TRichEdit>("TRichEdit", "ScrollBars", [scroll](TRichEdit* c, const TLayoutValue& v, TLayoutContext&) { c->SetScrollBars(scroll(v)); });
  RegisterProp<TRichEdit>("TRichEdit", "ReadOnly", [](TRichEdit* c, const TLayoutValue& v, TLayoutContext&) { c->SetReadOnly(v.AsBool()); });

  RegisterComponentClass("TWebBrowser", W, [](TComponent* o) { return new TWebBrowser(o); });

  RegisterCommonControlClasses();
}

}  // namespace corvane
