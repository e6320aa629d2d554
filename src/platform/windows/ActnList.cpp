#include "platform/windows/ActnList.h"

#include <QAbstractEventDispatcher>

#include <algorithm>

#include "platform/graphics/ImgList.h"
#include "platform/windows/Forms.h"

namespace corvane {

namespace {

// Every live action list, for the idle update.
std::vector<TActionList*>& LiveLists() {
  static std::vector<TActionList*> lists;
  return lists;
}

// Brings the actions of the windows on screen up to date each time the event loop is about to
// wait for more events.
void UpdateActionsWhenIdle() {
  static bool connected = false;
  if (connected) return;
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (!dispatcher) return;
  connected = true;
  QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] {
    auto lists = LiveLists();
    for (TActionList* list : lists) {
      if (std::find(LiveLists().begin(), LiveLists().end(), list) == LiveLists().end()) continue;
      TForm* form = OwnerForm(list);
      if (form && form->Showing()) Application->HandleExceptions([&] { list->UpdateActions(); });
    }
  });
}

}  // namespace

TForm* OwnerForm(const TComponent* component) {
  for (TComponent* c = component ? component->Owner() : nullptr; c; c = c->Owner())
    if (auto* f = dynamic_cast<TForm*>(c)) return f;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TAction

TAction::TAction(TComponent* owner) : TComponent(owner) {}

TAction::~TAction() {
  Destroying();
  SetActionList(nullptr);
}

void TAction::SetActionList(TActionList* list) {
  if (list == actionList_) return;
  if (actionList_) {
    auto& v = actionList_->actions_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    RemoveFreeNotification(actionList_);
  }
  actionList_ = list;
  if (list) {
    list->actions_.push_back(this);
    FreeNotification(list);
  }
}

void TAction::SetParentComponent(TComponent* parent) {
  if (auto* list = dynamic_cast<TActionList*>(parent)) SetActionList(list);
}

void TAction::SetCaption(const std::string& v) { if (v != caption_) { caption_ = v; Changed(); } }
void TAction::SetHint(const std::string& v) { if (v != hint_) { hint_ = v; Changed(); } }
void TAction::SetEnabled(bool v) { if (v != enabled_) { enabled_ = v; Changed(); } }
void TAction::SetChecked(bool v) { if (v != checked_) { checked_ = v; Changed(); } }
void TAction::SetVisible(bool v) { if (v != visible_) { visible_ = v; Changed(); } }
void TAction::SetImageIndex(int v) { if (v != imageIndex_) { imageIndex_ = v; Changed(); } }

void TAction::Changed() {
  auto clients = clients_;  // a client may drop itself while being told
  for (auto& [client, changed] : clients) changed();
}

void TActionLink::SetAction(TAction* action) {
  if (action == action_) return;
  if (action_) action_->RemoveClient(client_);
  action_ = action;
  if (!action_) return;
  action_->AddClient(client_, [this] {
    if (action_) changed_(*action_);
  });
  changed_(*action_);
}

void TAction::AddClient(TComponent* client, std::function<void()> changed) {
  RemoveClient(client);
  clients_.emplace_back(client, std::move(changed));
  FreeNotification(client);
}

void TAction::RemoveClient(TComponent* client) {
  auto it = std::remove_if(clients_.begin(), clients_.end(), [client](auto& c) { return c.first == client; });
  if (it == clients_.end()) return;
  clients_.erase(it, clients_.end());
  if (client != actionList_) RemoveFreeNotification(client);
}

void TAction::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == actionList_) actionList_ = nullptr;
  clients_.erase(std::remove_if(clients_.begin(), clients_.end(), [component](auto& c) { return c.first == component; }),
                 clients_.end());
}

void TAction::Update() {
  if (OnUpdate) OnUpdate(this);
  else UpdateState();
}

void TAction::UpdateState() { SetEnabled(static_cast<bool>(OnExecute)); }

bool TAction::Execute() {
  Update();
  return enabled_ && DoExecute();
}

bool TAction::DoExecute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

// ---------------------------------------------------------------------------------------------
// TActionList

TActionList::TActionList(TComponent* owner) : TComponent(owner) {
  LiveLists().push_back(this);
  UpdateActionsWhenIdle();
}

TActionList::~TActionList() {
  Destroying();
  auto& lists = LiveLists();
  lists.erase(std::remove(lists.begin(), lists.end(), this), lists.end());
  for (TAction* a : std::vector<TAction*>(actions_)) a->SetActionList(nullptr);
}

void TActionList::SetImages(TImageList* images) {
  if (images_) RemoveFreeNotification(images_);
  images_ = images;
  if (images_) FreeNotification(images_);
}

void TActionList::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == images_) images_ = nullptr;
  actions_.erase(std::remove(actions_.begin(), actions_.end(), component), actions_.end());
}

bool TActionList::IsShortCut(TShortCut shortCut) {
  if (shortCut == 0) return false;
  for (TAction* a : std::vector<TAction*>(actions_))
    if (a->ShortCut() == shortCut) return a->Execute();
  return false;
}

void TActionList::UpdateActions() {
  for (TAction* a : std::vector<TAction*>(actions_)) a->Update();
}

bool DispatchShortCut(TForm* form, TShortCut shortCut) {
  if (!form) return false;
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* list = dynamic_cast<TActionList*>(form->Components(i)); list && list->IsShortCut(shortCut)) return true;
  return false;
}

}  // namespace corvane
