#include "app/NotesEditor.h"

#include "app/MainWindow.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Menus.h"

namespace corvane {

namespace {
// Note i's title label on the main window, title field, body editor and body document.
constexpr const char* kLabels[] = {"Label3", "Label4", "Label5"};
constexpr const char* kTitles[] = {"edit1", "edit2", "edit3"};
constexpr const char* kEditors[] = {"richedit1", "RichEdit2", "RichEdit3"};
constexpr const char* kDocuments[] = {"dat\\a1.rtf", "dat\\a2.rtf", "dat\\a3.rtf"};
}  // namespace

TForm4::TForm4(TComponent* owner) : TForm(owner) {
  PublishPictureButtons(this, [] { return static_cast<TForm*>(Form4); }, false);
  PublishHandlers();
  BuildFromLayout(this, "NotesEditor.lfm");
}

void TForm4::PublishHandlers() {
  PublishHandler("FormClose", TCloseEvent([this](TObject*, TCloseAction&) { SaveNotes(); }));
  PublishHandler("ToolButton12Click", TNotifyEvent([this](TObject*) { ChooseFont(); }));
  PublishHandler("ToolButton9Click", TNotifyEvent([this](TObject*) { ToggleStyle("N1", fsBold); }));
  PublishHandler("ToolButton10Click", TNotifyEvent([this](TObject*) { ToggleStyle("N2", fsItalic); }));
  PublishHandler("ToolButton11Click", TNotifyEvent([this](TObject*) { ToggleStyle("N3", fsUnderline); }));
  PublishHandler("ToolButton20Click", TNotifyEvent([this](TObject*) { AlignParagraphs(TAlignment::taLeftJustify); }));
  PublishHandler("ToolButton19Click", TNotifyEvent([this](TObject*) { AlignParagraphs(TAlignment::taCenter); }));
  PublishHandler("ToolButton21Click", TNotifyEvent([this](TObject*) { AlignParagraphs(TAlignment::taRightJustify); }));
  PublishHandler("ToolButton8Click", TNotifyEvent([this](TObject*) { ChooseColor(); }));
  PublishHandler("ToolButton13Click", TNotifyEvent([this](TObject*) { ChangeSize(+2); }));
  PublishHandler("ToolButton14Click", TNotifyEvent([this](TObject*) { ChangeSize(-2); }));
}

std::array<TRichEdit*, 3> TForm4::Editors() {
  return {Find<TRichEdit>(this, kEditors[0]), Find<TRichEdit>(this, kEditors[1]), Find<TRichEdit>(this, kEditors[2])};
}

void TForm4::Fill(int note) {
  const int shown = note - 1;
  for (int i = 0; i < 3; ++i) Find<TControl>(this, kTitles[i])->SetText(Find<TControl>(Form1, kLabels[i])->Caption());
  Find<TControl>(this, kEditors[shown])->Show();
  // All three bodies are loaded, whichever note is shown; the first that fails stops the opening.
  // Temporary files a save cut short by a kill left beside them go first.
  auto editors = Editors();
  for (const char* document : kDocuments) RemoveLeftoverTemporaryFiles(document);
  for (int i = 0; i < 3; ++i) editors[i]->LoadFromFile(kDocuments[i]);
  for (int i = 0; i < 3; ++i) {
    if (i == shown) continue;
    editors[i]->Hide();
    Find<TControl>(this, kTitles[i])->Hide();
  }
}

void TForm4::ToggleStyle(const char* item, TFontStyles flag) {
  auto* toggle = Find<TMenuItem>(this, item);
  toggle->Checked = !toggle->Checked;
  auto editors = Editors();
  // The new style replaces the selection's whole style.
  TFontStyles base = editors[0]->Font().Style();
  TFontStyles style = toggle->Checked ? (base | flag) : (base & ~flag);
  for (TRichEdit* e : editors) e->SelAttributes().SetStyle(style);
}

void TForm4::ChooseFont() {
  auto* dialog = Find<TFontDialog>(this, "FontDialog1");
  if (!dialog->Execute()) return;
  const TFont& font = dialog->Font();
  for (TRichEdit* e : Editors()) {
    TTextAttributes& a = e->SelAttributes();
    a.SetName(font.Name());
    a.SetStyle(font.Style());
    a.SetSize(font.Size());
    a.SetColor(font.Color());
  }
}

void TForm4::ChooseColor() {
  auto* dialog = Find<TColorDialog>(this, "ColorDialog1");
  if (!dialog->Execute()) return;
  for (TRichEdit* e : Editors()) e->SelAttributes().SetColor(dialog->Color);
}

void TForm4::AlignParagraphs(TAlignment alignment) {
  for (TRichEdit* e : Editors()) e->Paragraph().SetAlignment(alignment);
}

void TForm4::ChangeSize(int delta) {
  auto editors = Editors();
  // The first editor is the source even when another note is shown.
  const int size = editors[0]->SelAttributes().Size() + delta;
  for (TRichEdit* e : editors) e->SelAttributes().SetSize(size);
}

void TForm4::SaveNotes() {
  for (int i = 0; i < 3; ++i) Find<TControl>(Form1, kLabels[i])->SetCaption(Find<TControl>(this, kTitles[i])->Text());
  // Only a body changed since it was loaded is written: one the user did not change keeps its
  // file byte for byte, with whatever it holds that the editor cannot show. A document that cannot
  // be written stops here with its error; the files already written stay written, the failed one
  // keeps its previous content, and the editor stays open.
  for (int i = 0; i < 3; ++i) {
    auto* editor = Find<TRichEdit>(Form4, kEditors[i]);
    if (editor->Modified()) editor->SaveToFile(kDocuments[i]);
  }
}

void OpenNote(int note) {
  OpenModal(Form4, [note](TForm4& f) { f.Fill(note); });
}

}  // namespace corvane
