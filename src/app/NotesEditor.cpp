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
  autosave_ = new TTimer(this);
  autosave_->SetEnabled(false);
  autosave_->SetInterval(kAutosaveDelayMs);
  autosave_->OnTimer = [this](TObject*) { Autosave(); };
  for (TRichEdit* e : Editors()) e->OnChange = [this](TObject*) { NoteChanged(); };
}

void TForm4::PublishHandlers() {
  PublishHandler("FormClose", TCloseEvent([this](TObject*, TCloseAction& action) { SaveNotes(action); }));
  PublishHandler("NoteSave1Execute", TNotifyEvent([this](TObject*) { SaveNow(); }));
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
  for (int i = 0; i < 3; ++i) {
    editors[i]->LoadFromFile(kDocuments[i]);
    stamps_[i] = FileStampOf(kDocuments[i]);
  }
  shown_ = shown;
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

namespace {
std::string WithFullStop(std::string text) {
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

// A name beside the document that is free: dat\a1.rtf gives dat\a1-我的-2.rtf and so on.
std::string FreeNameBeside(const std::string& document) {
  const std::string stem = document.substr(0, document.size() - 4), extension = document.substr(document.size() - 4);
  for (int n = 1;; ++n) {
    std::string name = stem + "-我的" + (n > 1 ? "-" + std::to_string(n) : std::string()) + extension;
    if (!FileStampOf(name).exists && !FileExists(name)) return name;
  }
}
}  // namespace

void TForm4::NoteChanged() {
  // Every change starts the wait again: the note is saved once the user pauses.
  autosave_->SetEnabled(false);
  if (Showing() && Editors()[shown_]->Modified()) autosave_->SetEnabled(true);
}

void TForm4::Reload(int index) {
  TRichEdit* editor = Editors()[index];
  const TFileStamp now = FileStampOf(kDocuments[index]);
  if (now.exists) editor->LoadFromFile(kDocuments[index]);
  editor->SetModified(false);
  stamps_[index] = now;
}

bool TForm4::SaveShownNote() {
  autosave_->SetEnabled(false);
  TRichEdit* editor = Editors()[shown_];
  if (!editor->Modified()) return true;
  const std::string document = kDocuments[shown_];
  if (!FileStampOf(document).SameContent(stamps_[shown_])) {
    const int answer = MessageDlg(
        "笔记的文件 " + document + " 在打开之后被别的程序（或另一个正在运行的 Corvane）改过了。\n"
        "保留我的：用这里的内容替换它；保留对方的：放弃这里的修改，显示文件里的内容；"
        "另存我的：把这里的内容存到另一个文件，" + document + " 保持对方的内容。",
        TMsgDlgType::mtWarning, {"保留我的", "保留对方的", "另存我的"}, Application->Title);
    if (answer == IDFIRSTBUTTON + 1) {
      Reload(shown_);
      return true;
    }
    if (answer == IDFIRSTBUTTON + 2) {
      const std::string other = FreeNameBeside(document);
      editor->SaveToFile(other);
      Reload(shown_);
      MessageDlg("这里的内容已存为 " + other + "；" + document + " 保持对方的内容，现在显示的就是它。",
                 TMsgDlgType::mtInformation, {"OK"}, Application->Title);
      return true;
    }
    if (answer != IDFIRSTBUTTON) return false;
  }
  editor->SaveToFile(document);
  editor->SetModified(false);
  stamps_[shown_] = FileStampOf(document);
  autosaveFailed_ = false;
  return true;
}

void TForm4::SaveNow() {
  try {
    SaveShownNote();
  } catch (const std::exception&) {
    autosaveFailed_ = true;  // reported now; the autosave need not say it again
    throw;
  }
}

void TForm4::Autosave() {
  autosave_->SetEnabled(false);
  if (!Showing()) return;
  try {
    SaveShownNote();
  } catch (const std::exception&) {
    // Told once; the note stays in the editor and the close tries again (and lets the user go).
    if (autosaveFailed_) return;
    autosaveFailed_ = true;
    throw;
  }
}

void TForm4::SaveNotes(TCloseAction& action) {
  for (int i = 0; i < 3; ++i) Find<TControl>(Form1, kLabels[i])->SetCaption(Find<TControl>(this, kTitles[i])->Text());
  // Only the shown note's body can have been changed by the user (the formatting commands reach
  // the hidden editors too, but nobody sees or wants that there); one the user did not change
  // keeps its file byte for byte, with whatever it holds that the editor cannot show.
  try {
    if (!SaveShownNote()) action = TCloseAction::caNone;
  } catch (const std::exception& e) {
    // A save that can never succeed (a read-only note or folder, a full disk) must not keep the
    // user in the editor: after the error the user may leave, told what is lost.
    const int answer = MessageDlg(
        WithFullStop(e.what()) + "\n\n不关闭：留在编辑器里，内容都还在，排除原因后再关闭即可保存。\n"
        "不保存就关闭：这篇笔记上次保存之后的修改不会保存（" + std::string(kDocuments[shown_]) + " 保持原来的内容）。",
        TMsgDlgType::mtError, {"不关闭", "不保存就关闭"}, Application->Title);
    if (answer != IDFIRSTBUTTON + 1) action = TCloseAction::caNone;
  }
  if (action == TCloseAction::caNone) return;
  autosave_->SetEnabled(false);
}

void OpenNote(int note) {
  // A second copy of the program may run on the same notes; its user is told once, since its
  // saves and this one's may meet (each is asked before overwriting the other's).
  static bool told = false;
  if (!told && FolderSharedWithAnotherProcess("dat")) {
    told = true;
    MessageDlg("另一个正在运行的 Corvane 也在使用这些笔记（dat 文件夹）。两边都可以编辑；"
               "保存时如果笔记已被另一边改过，会先问您保留哪一份。",
               TMsgDlgType::mtInformation, {"OK"}, Application->Title);
  }
  OpenModal(Form4, [note](TForm4& f) { f.Fill(note); });
}

}  // namespace corvane
