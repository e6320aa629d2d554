#include "platform/windows/Menus.h"

#include <algorithm>

#include "platform/core/Encoding.h"
#include "platform/graphics/ImgList.h"

namespace corvane {

TMenuItem::TMenuItem(TComponent* owner)
    : TComponent(owner), actionLink_(this, [this](TAction& a) {
        Caption = a.Caption();
        Enabled = a.Enabled();
        Checked = a.Checked();
        Visible = a.Visible();
        ImageIndex = a.ImageIndex();
        ShortCut = a.ShortCut();
      }) {}

TMenuItem::~TMenuItem() {
  Destroying();
  if (parent_) parent_->Remove(this);
  for (TMenuItem* item : std::vector<TMenuItem*>(items_)) Remove(item);
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  actionLink_.Notification(component, operation);
}

void TMenuItem::InitiateAction() {
  if (TAction* a = Action()) {
    a->Update();
    // The link mirrors changes as they happen; an update that changed nothing still leaves the
    // item showing the action's state.
    Caption = a->Caption();
    Enabled = a->Enabled();
    Checked = a->Checked();
    Visible = a->Visible();
    ImageIndex = a->ImageIndex();
    ShortCut = a->ShortCut();
  }
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item || item == this) return;
  if (item->parent_) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TPopupMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

void TMenuItem::Click() {
  if (!Enabled) return;
  if (OnClick) OnClick(this);
  else actionLink_.Execute();
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = dynamic_cast<TPopupMenu*>(parent)) menu->Items().Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(parent)) item->Add(this);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) { items_.menu_ = this; }

TPopupMenu::~TPopupMenu() { Destroying(); }

void TPopupMenu::SetImages(TImageList* images) {
  if (images_ == images) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images_) images_->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
}

namespace {

std::string KeyName(int vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, static_cast<char>(vk));
  if (vk >= 112 && vk <= 135) return "F" + std::to_string(vk - 111);
  switch (vk) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    case VK_OEM_PLUS: return "+";
    case VK_OEM_MINUS: return "-";
    case VK_OEM_COMMA: return ",";
    case VK_OEM_PERIOD: return ".";
    default: return {};
  }
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
  const std::string name = KeyName(shortCut & 0xFF);
  if (name.empty()) return {};
  std::string out;
  if (shortCut & scShift) out += "Shift+";
  if (shortCut & scCtrl) out += "Ctrl+";
  if (shortCut & scAlt) out += "Alt+";
  return out + name;
}

char32_t AcceleratorOf(const std::string& caption) {
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (i + 1 >= caption.size()) return 0;
    if (caption[i + 1] == '&') { ++i; continue; }
    size_t at = i + 1;
    return DecodeUtf8(caption, at);
  }
  return 0;
}

bool IsAccel(int key, const std::string& caption) {
  char32_t a = AcceleratorOf(caption);
  if (a >= 'a' && a <= 'z') a -= 32;
  return a != 0 && key > 0 && static_cast<char32_t>(key) == a;
}

}  // namespace corvane
