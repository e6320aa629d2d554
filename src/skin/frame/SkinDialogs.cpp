#include "skin/frame/SkinDialogs.h"

#include "skin/package/SkinData.h"

namespace corvane {

TskSkinDialogComponent::TskSkinDialogComponent(TComponent* owner) : TComponent(owner) {
  defaultFont_.SetName("Arial");
  defaultFont_.SetHeight(14);
}

void TskSkinDialogComponent::Link(TskSkinData*& slot, TskSkinData* value) {
  // Both slots may name the same skin data: its free notification stays until it goes.
  slot = value;
  if (value) value->FreeNotification(this);
}

void TskSkinDialogComponent::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == skinData_) skinData_ = nullptr;
  if (component == ctrlSkinData_) ctrlSkinData_ = nullptr;
}

}  // namespace corvane
