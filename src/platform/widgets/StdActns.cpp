#include "platform/widgets/StdActns.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/widgets/StdCtrls.h"
#include "platform/windows/Forms.h"

namespace corvane {

namespace {

bool ClipboardHasText() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && data->hasText() && !data->text().isEmpty();
}

}  // namespace

TCustomEdit* TEditAction::Target() const {
  TForm* form = OwnerForm(this);
  auto* edit = form ? dynamic_cast<TCustomEdit*>(form->ActiveControl()) : nullptr;
  return edit && edit->CanFocus() ? edit : nullptr;
}

void TEditAction::UpdateState() {
  TCustomEdit* edit = Target();
  SetEnabled(edit && CanActOn(*edit));
}

bool TEditAction::DoExecute() {
  if (OnExecute) return TAction::DoExecute();
  TCustomEdit* edit = Target();
  if (!edit) return false;
  ActOn(*edit);
  return true;
}

bool TEditCut::CanActOn(TCustomEdit& e) const { return e.SelLength() > 0 && !e.ReadOnly(); }
void TEditCut::ActOn(TCustomEdit& e) { e.CutToClipboard(); }
bool TEditCopy::CanActOn(TCustomEdit& e) const { return e.SelLength() > 0; }
void TEditCopy::ActOn(TCustomEdit& e) { e.CopyToClipboard(); }
bool TEditPaste::CanActOn(TCustomEdit& e) const { return !e.ReadOnly() && ClipboardHasText(); }
void TEditPaste::ActOn(TCustomEdit& e) { e.PasteFromClipboard(); }
bool TEditSelectAll::CanActOn(TCustomEdit& e) const { return e.GetTextLen() > 0; }
void TEditSelectAll::ActOn(TCustomEdit& e) { e.SelectAll(); }
bool TEditUndo::CanActOn(TCustomEdit& e) const { return e.CanUndo(); }
void TEditUndo::ActOn(TCustomEdit& e) { e.Undo(); }
bool TEditDelete::CanActOn(TCustomEdit& e) const { return e.SelLength() > 0 && !e.ReadOnly(); }
void TEditDelete::ActOn(TCustomEdit& e) { e.ClearSelection(); }

}  // namespace corvane
