#include "app/MainWindow.h"

#include "app/Catalogue.h"
#include "app/ReadingWindow.h"
#include "app/ReferenceWindow.h"
#include "app/NotesEditor.h"
#include "app/AboutWindow.h"

namespace corvane {

namespace {
constexpr TColor kYellow = 65535, kWhite = 16777215;
const char* const kHoverRows = "qdlzxkgn";

// The note titles: label on this window and key in the configuration file's section.
constexpr const char* kConfigSection = "用户";
constexpr const char* kTitleLabels[] = {"Label3", "Label4", "Label5"};
constexpr const char* kTitleKeys[] = {"自定义1", "自定义2", "自定义3"};

// The title fields of the notes editor accept line breaks, but the file keeps one line per
// value. A title is therefore stored with each line break (CR LF, CR or LF) replaced by one
// blank: the label draws a break as a blank already, so the next start shows what the user saw,
// and nothing has to be unescaped. Escaping the breaks instead would give titles that already
// hold a backslash a different meaning when read back.
std::string TitleForFile(const std::string& title) {
  std::string out;
  for (size_t i = 0; i < title.size(); ++i) {
    if (title[i] == '\r' && i + 1 < title.size() && title[i + 1] == '\n') continue;
    out += title[i] == '\r' || title[i] == '\n' ? ' ' : title[i];
  }
  return out;
}
}  // namespace

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  PublishHandlers();
  BuildFromLayout(this, "MainWindow.lfm");
}

void TForm1::PublishHandlers() {
  PublishHandler("FormCreate", TNotifyEvent([this](TObject*) { ReadTitles(); }));
  // A failed write raises: the close is abandoned, the window stays open and the next close
  // tries again.
  PublishHandler("FormClose", TCloseEvent([this](TObject*, TCloseAction& action) {
    if (!WriteTitles()) action = TCloseAction::caNone;
  }));
  auto drag = [](TObject*, TMouseButton, TShiftState, int, int) { BeginWindowDrag(Form1); };
  PublishHandler("Image1MouseDown", TMouseEvent(drag));
  PublishHandler("Image1MouseMove", TMouseMoveEvent([this](TObject*, TShiftState, int, int) { HideAllHighlights(); }));
  PublishHandler("ww1MouseMove", TMouseMoveEvent([this](TObject*, TShiftState, int, int) {
    Find<TControl>(this, "w1")->Show();
    Find<TControl>(this, "w2")->Hide();
  }));
  PublishHandler("ww2MouseMove", TMouseMoveEvent([this](TObject*, TShiftState, int, int) {
    Find<TControl>(this, "w2")->Show();
    Find<TControl>(this, "w1")->Hide();
  }));
  PublishHandler("w1Click", TNotifyEvent([](TObject*) { Application->Minimize(); }));
  PublishHandler("w2Click", TNotifyEvent([this](TObject*) { Close(); }));

  // The 64 tiles: the click and hover operations the catalogue names, whichever tile they are
  // bound to in the layout.
  for (const THexagram& h : Catalogue()) {
    std::string code = h.code, hover = h.hover;
    PublishHandler(h.clickOp, TNotifyEvent([this, code](TObject*) { OpenHexagram(code); }));
    PublishHandler(h.hoverOp, TMouseMoveEvent([this, hover](TObject*, TShiftState, int, int) {
      Find<TControl>(this, hover)->Show();
    }));
  }

  PublishHandler("thImagePanel3Click", TNotifyEvent([this](TObject*) { ShowPage1(); }));
  PublishHandler("thImagePanel4Click", TNotifyEvent([this](TObject*) { ShowPage2(); }));
  for (int i = 1; i <= 3; ++i) {
    PublishHandler("sq" + std::to_string(i) + "MouseMove", TMouseMoveEvent([this, i](TObject*, TShiftState, int, int) {
      for (int k = 1; k <= 3; ++k) Find<TControl>(this, "ss" + std::to_string(k))->SetVisible(k == i);
    }));
    PublishHandler("ss" + std::to_string(i) + "Click", TNotifyEvent([this, i](TObject*) { OpenReference(i); }));
  }
  for (const char* label : {"Label3", "Label4", "Label5", "Label6"}) {
    PublishHandler(std::string(label) + "MouseMove", TMouseMoveEvent([this, label](TObject*, TShiftState, int, int) { LabelHover(label); }));
    PublishHandler(std::string(label) + "MouseLeave", TNotifyEvent([this, label](TObject*) { LabelLeave(label); }));
  }
  // The title labels open the notes editor on their note.
  for (int note = 1; note <= 3; ++note)
    PublishHandler("Label" + std::to_string(note + 2) + "Click", TNotifyEvent([note](TObject*) { OpenNote(note); }));
  PublishHandler("Label6Click", TNotifyEvent([](TObject*) { OpenModal(Form5, [](TForm5&) {}); }));

  PublishHandler("thButton1Click", TNotifyEvent([](TObject*) { Form1->Lookup(); }));
  PublishHandler("e1KeyPress", TKeyPressEvent([](TObject*, char32_t& key) {
    if (key != 13) return;
    key = 0;  // nothing is inserted and no warning sound is made
    SendMessage(Form1, WM_NEXTDLGCTL, 0, 0);
    Find<TControl>(Form1, "thButton1")->Click();
  }));
}

void TForm1::ReadTitles() {
  // Temporary files of a save of the configuration file that was killed go first.
  RemoveLeftoverTemporaryFiles(ConfigurationPath());
  config_ = std::make_unique<TIniFile>(ConfigurationPath());
  for (int i = 0; i < 3; ++i) {
    stored_[i] = config_->ReadString(kConfigSection, kTitleKeys[i], "");
    Find<TControl>(this, kTitleLabels[i])->SetCaption(stored_[i]);
  }
}

bool TForm1::WriteTitles() {
  std::string unsaved;
  try {
    for (int i = 0; i < 3; ++i) {
      auto* label = Find<TControl>(this, kTitleLabels[i]);
      const std::string mine = TitleForFile(label->Caption());
      if (mine == stored_[i]) continue;  // not changed here: the file keeps what it has
      const std::string theirs = config_->ReadString(kConfigSection, kTitleKeys[i], "");
      if (theirs != stored_[i] && theirs != mine) {
        const int answer = MessageDlg(
            "笔记的标题“" + theirs + "”在 " + ConfigurationPath() + " 里被别的程序（或另一个正在运行的 Corvane）"
            "改过了，这里改成的是“" + mine + "”。\n保留我的：写入“" + mine + "”；保留对方的：放弃这里的修改。",
            TMsgDlgType::mtWarning, {"保留我的", "保留对方的"}, Application->Title);
        if (answer == IDFIRSTBUTTON + 1) {
          stored_[i] = theirs;
          label->SetCaption(theirs);
          continue;
        }
        if (answer != IDFIRSTBUTTON) return false;
      }
      config_->WriteString(kConfigSection, kTitleKeys[i], mine);
      stored_[i] = mine;
    }
  } catch (const std::exception& e) {
    // A file that can never be written (read-only, a FIFO, a full disk) must not keep the user
    // in the program: after the error the user may leave, told which titles are lost.
    for (int i = 0; i < 3; ++i) {
      const std::string mine = TitleForFile(Find<TControl>(this, kTitleLabels[i])->Caption());
      if (mine != stored_[i]) unsaved += "“" + mine + "”";
    }
    std::string text = e.what();
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    const int answer = MessageDlg(
        text + "\n\n不退出：程序留着，排除原因后再关闭即可保存。\n不保存就退出：笔记的标题 " + unsaved + " 不会保存。",
        TMsgDlgType::mtError, {"不退出", "不保存就退出"}, Application->Title);
    return answer == IDFIRSTBUTTON + 1;
  }
  return true;
}

void TForm1::LabelHover(const char* label) { Find<TControl>(this, label)->Font().SetColor(kYellow); }
void TForm1::LabelLeave(const char* label) { Find<TControl>(this, label)->Font().SetColor(kWhite); }

void TForm1::ShowPage1() {
  Find<TControl>(this, "thImagePanel1")->Show();
  Find<TControl>(this, "thImagePanel2")->Hide();
  Find<TControl>(this, "thImagePanel4")->Show();
  Find<TControl>(this, "thImagePanel3")->Hide();
  Find<TControl>(this, "thImagePanel5")->Show();
  Find<TControl>(this, "thImagePanel6")->Hide();
}

void TForm1::ShowPage2() {
  Find<TControl>(this, "thImagePanel2")->Show();
  Find<TControl>(this, "thImagePanel1")->Hide();
  Find<TControl>(this, "thImagePanel3")->Show();
  Find<TControl>(this, "thImagePanel4")->Hide();
  Find<TControl>(this, "thImagePanel6")->Show();
  Find<TControl>(this, "thImagePanel5")->Hide();
}

void TForm1::HideAllHighlights() {
  for (const char* name : {"ss1", "ss2", "ss3", "w1", "w2"}) Find<TControl>(this, name)->Hide();
  for (const char* row = kHoverRows; *row; ++row)
    for (int c = 1; c <= 8; ++c) Find<TControl>(this, std::string(1, *row) + std::to_string(c))->Hide();
}

void TForm1::OpenHexagram(const std::string& code) {
  OpenModal(Form2, [&](TForm2& f) { f.Fill(code); });
}

void TForm1::Lookup() {
  // The reading window is created before the text is looked at, whether or not it will be shown.
  std::unique_ptr<TForm2> form(new TForm2(Application));
  Form2 = form.get();
  const std::string text = Find<TControl>(Form1, "e1")->Text();
  if (const THexagram* h = FindHexagram(text)) {
    form->Fill(h->code);
    form->ShowModal();
  } else {
    ShowMessage(kGuidance);
  }
}

void TForm1::OpenReference(int index) {
  static const char* const kDocuments[] = {"dat\\sifaze.rtf", "dat\\yingbi.rtf", "dat\\shijian.rtf"};
  OpenModal(Form3, [&](TForm3& f) { f.Fill(kDocuments[index - 1]); });
}

}  // namespace corvane
