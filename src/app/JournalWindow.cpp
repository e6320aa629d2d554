#include "app/JournalWindow.h"

#include <algorithm>

#include "app/Casting.h"
#include "app/Catalogue.h"
#include "app/ReadingWindow.h"
#include "platform/graphics/Graphics.h"

namespace corvane {

TJournalWindow* JournalWindow = nullptr;

namespace {
constexpr int kRowHeight = 22;
constexpr TColor kInk = 0x00202020, kGrey = 0x00707070, kSelected = 0x00C8F0FF, kWhite = 0x00FFFFFF;

std::string NameOf(const std::string& code) {
  const THexagram* h = FindHexagram(code);
  return h ? h->name : code;
}
}  // namespace

// The list of casts: one row each, a click selects, a double click reopens, the wheel and the
// arrow keys move through it.
class TJournalList : public TCustomControl {
 public:
  explicit TJournalList(TJournalWindow* owner) : TCustomControl(owner), window_(owner) {
    TabStop = true;
    Font().SetName("宋体");
    Font().SetHeight(-12);
  }
  std::string ClassName() const override { return "TJournalList"; }
  int selected = -1;
  int top = 0;  // first row shown
  int VisibleRows() const { return std::max(1, Height() / kRowHeight); }
  void Scroll(int rows) {
    const int count = static_cast<int>(window_->Entries().size());
    top = std::clamp(top + rows, 0, std::max(0, count - VisibleRows()));
    Invalidate();
  }
  void EnsureVisible() {
    if (selected < top) top = selected;
    if (selected >= top + VisibleRows()) top = selected - VisibleRows() + 1;
    top = std::max(0, top);
    Invalidate();
  }

 protected:
  void Paint() override {
    TCanvas& c = Canvas();
    c.Brush().Style = TBrushStyle::bsSolid;
    c.Brush().Color = kWhite;
    c.FillRect(TRect(0, 0, Width(), Height()));
    c.Font().Assign(Font());
    const auto& entries = window_->Entries();
    if (entries.empty()) {
      c.Brush().Style = TBrushStyle::bsClear;
      c.Font().SetColor(kGrey);
      c.TextOut(8, 8, "还没有起过卦。在查询框中输入六位爻值（6、7、8、9），或在硬币起卦法、时间起卦法窗口中起卦。");
      return;
    }
    for (int row = 0; row < VisibleRows() && top + row < static_cast<int>(entries.size()); ++row) {
      const int i = top + row;
      const TJournalEntry& e = entries[i];
      const int y = row * kRowHeight;
      c.Brush().Style = TBrushStyle::bsSolid;
      c.Brush().Color = i == selected ? kSelected : kWhite;
      c.FillRect(TRect(0, y, Width(), y + kRowHeight));
      c.Brush().Style = TBrushStyle::bsClear;
      const int textTop = y + (kRowHeight - 12) / 2;
      c.Font().SetColor(kGrey);
      c.TextOut(6, textTop, e.time.substr(0, 16) + "  " + e.method);
      c.Font().SetColor(kInk);
      std::string question = e.question.empty() ? "（未写所问）" : e.question;
      TRect q(170, y, 370, y + kRowHeight);
      c.TextRect(q, q.Left, textTop, question);
      std::string hexagrams;
      if (const std::optional<TCast> cast = ParseCastCode(e.code)) {
        hexagrams = NameOf(cast->PrimaryCode());
        if (!cast->MovingLines().empty()) hexagrams += " → " + NameOf(cast->ChangedCode());
      }
      if (!e.note.empty()) hexagrams += "  ✎";
      c.TextOut(378, textTop, hexagrams);
    }
  }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    TCustomControl::MouseDown(button, shift, x, y);
    SetFocus();
    const int i = top + y / kRowHeight;
    if (i < static_cast<int>(window_->Entries().size())) window_->Select(i);
  }
  void DblClick() override {
    TCustomControl::DblClick();
    if (selected >= 0) window_->ReopenSelected();
  }
  void KeyDown(int& key, TShiftState shift) override {
    const int count = static_cast<int>(window_->Entries().size());
    if (count == 0) return;
    if (key == VK_UP) window_->Select(std::max(0, selected - 1));
    else if (key == VK_DOWN) window_->Select(std::min(count - 1, selected + 1));
    else if (key == VK_RETURN) window_->ReopenSelected();
    else if (key == VK_DELETE) window_->DeleteSelected();
    else return TCustomControl::KeyDown(key, shift);
    key = 0;
  }

 private:
  TJournalWindow* window_;
};

TJournalWindow::TJournalWindow(TComponent* owner) : TForm(owner) {
  PublishPictureButtons(this, [this] { return static_cast<TForm*>(this); }, false);
  PublishHandler("saveNoteButtonClick", TNotifyEvent([this](TObject*) { SaveNote(); }));
  PublishHandler("openButtonClick", TNotifyEvent([this](TObject*) { ReopenSelected(); }));
  PublishHandler("deleteButtonClick", TNotifyEvent([this](TObject*) { DeleteSelected(); }));
  BuildFromLayout(this, "JournalWindow.lfm");
  list_ = new TJournalList(this);
  list_->SetParent(this);
  list_->SetBounds(48, 85, 531, 300);
  list_->SetTabOrder(0);
  // The wheel over the list scrolls it (the window system gives wheel turns to the application
  // first).
  previousOnMessage_ = Application->OnMessage;
  Application->OnMessage = [this](TMessage& m, bool& handled) {
    if (m.Msg == WM_MOUSEWHEEL && list_->Showing()) {
      const TPoint p = list_->ScreenToClient({LoWordSigned(m.LParam), HiWordSigned(m.LParam)});
      if (p.X >= 0 && p.Y >= 0 && p.X < list_->Width() && p.Y < list_->Height()) {
        list_->Scroll(HiWordSigned(static_cast<LPARAM>(m.WParam)) > 0 ? -3 : 3);
        handled = true;
        return;
      }
    }
    if (previousOnMessage_) previousOnMessage_(m, handled);
  };
}

TJournalWindow::~TJournalWindow() {
  Application->OnMessage = previousOnMessage_;
  if (JournalWindow == this) JournalWindow = nullptr;
}

void TJournalWindow::Fill(int64_t id) {
  entries_ = ProgramJournal().List();
  int index = entries_.empty() ? -1 : 0;
  for (int i = 0; i < static_cast<int>(entries_.size()); ++i)
    if (entries_[i].id == id) index = i;
  list_->top = 0;
  Select(index);
}

TControl* TJournalWindow::List() const { return list_; }

int TJournalWindow::Selected() const { return list_->selected; }

void TJournalWindow::Select(int index) {
  list_->selected = index;
  Find<TControl>(this, "noteEdit")->SetText(index >= 0 ? entries_[index].note : std::string());
  for (const char* b : {"saveNoteButton", "openButton", "deleteButton"}) Find<TControl>(this, b)->SetEnabled(index >= 0);
  if (index >= 0) list_->EnsureVisible();
  list_->Invalidate();
}

TPoint TJournalWindow::RowCentre(int index) const {
  return list_->ClientToScreen({list_->Width() / 2, (index - list_->top) * kRowHeight + kRowHeight / 2});
}

void TJournalWindow::ReopenSelected() {
  const int i = Selected();
  if (i < 0) return;
  const std::optional<TCast> cast = ParseCastCode(entries_[i].code);
  if (!cast) return;
  TJournalWindow* self = this;
  OpenCastReading(*cast, entries_[i].id);
  JournalWindow = self;
  // The reading may have opened another journal window that changed the journal.
  const int64_t id = entries_[i].id;
  Fill(id);
}

void TJournalWindow::SaveNote() {
  const int i = Selected();
  if (i < 0) return;
  const std::string note = Find<TControl>(this, "noteEdit")->Text();
  ProgramJournal().SetNote(entries_[i].id, note);
  entries_[i].note = note;
  list_->Invalidate();
}

void TJournalWindow::DeleteSelected() {
  const int i = Selected();
  if (i < 0) return;
  if (Application->MessageBox(kDeleteQuestion, Application->Title, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  ProgramJournal().Remove(entries_[i].id);
  entries_.erase(entries_.begin() + i);
  Select(entries_.empty() ? -1 : std::min(i, static_cast<int>(entries_.size()) - 1));
}

void OpenJournal(int64_t id) {
  TJournalWindow* previous = JournalWindow;
  std::unique_ptr<TJournalWindow> form(new TJournalWindow(Application));
  JournalWindow = form.get();
  try {
    form->Fill(id);
    form->ShowModal();
  } catch (...) {
    form.reset();
    JournalWindow = previous;
    throw;
  }
  form.reset();
  JournalWindow = previous;
}

}  // namespace corvane
