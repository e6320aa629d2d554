#include "app/MainWindow.h"

#include <filesystem>
#include <system_error>

#include "app/AboutWindow.h"
#include "app/Catalogue.h"
#include "app/JournalWindow.h"
#include "app/NotesEditor.h"
#include "app/ReadingWindow.h"
#include "app/ReferenceWindow.h"
#include "skin/frame/SkinMenu.h"
#include "skin/package/SkinData.h"

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
  // A title that cannot be written is shown with the error, and the user stays (the close is
  // abandoned, the next one tries again) or leaves without saving it.
  PublishHandler("FormClose", TCloseEvent([this](TObject*, TCloseAction& action) {
    if (!WriteTitles()) action = TCloseAction::caNone;
  }));
  // The background drags the window with any button; a right click that did not move it opens
  // the casting menu where it was pressed (the move loop returns at the release).
  PublishHandler("Image1MouseDown", TMouseEvent([this](TObject*, TMouseButton b, TShiftState, int x, int y) {
    TForm1* window = Form1;
    const TPoint before{window->Left(), window->Top()};
    const TPoint at = Find<TControl>(this, "Image1")->ClientToScreen({x, y});
    BeginWindowDrag(window);
    if (b == TMouseButton::mbRight && Form1 == window && window->Left() == before.X && window->Top() == before.Y)
      ShowCastMenu(at.X, at.Y);
  }));
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
  // On the first start (nothing at all where the configuration file belongs) the layout's
  // captions stay, so a new user sees the three notes; the first close stores them. Once there is
  // a file, the titles are shown as stored, empty ones too (a missing key, or a file that cannot
  // be read, reads as empty).
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(config_->FileName(), ec))) return;
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
  // Once the reading window or the guidance has closed, the field has the keyboard again with
  // its text selected, so the next code replaces it.
  struct BackToField {
    ~BackToField() {
      if (!Form1) return;
      auto* field = Find<TEdit>(Form1, "e1");
      if (!field->CanFocus()) return;
      Form1->SetActiveControl(field);
      field->SelectAll();
    }
  } backToField;
  // The reading window is created before the text is looked at, whether or not it will be shown.
  std::unique_ptr<TForm2> form(new TForm2(Application));
  Form2 = form.get();
  const std::string text = Find<TControl>(Form1, "e1")->Text();
  if (const THexagram* h = FindHexagram(text)) {
    form->Fill(h->code);
    form->ShowModal();
  } else if (const std::optional<TCast> cast = ParseCastCode(text)) {
    // Six line values: a cast reading, kept in the journal like every cast.
    const int64_t id = KeepInJournal(*cast, "卦码", {});
    form->FillCast(*cast, id);
    form->ShowModal();
  } else {
    ShowMessage(kGuidance);
  }
}

TskSkinPopupMenu* TForm1::CastMenu() {
  if (castMenu_) return castMenu_;
  // Made at the first right click, not at start-up.
  auto* host = new TskSkinMenuHost(this);
  castMenu_ = new TskSkinPopupMenu(this);
  castMenu_->SetName("castMenu");
  auto add = [&](const std::string& caption, std::function<void()> run) {
    auto* item = new TMenuItem(castMenu_);
    item->Caption = caption;
    if (run) item->OnClick = [run](TObject*) { run(); };
    castMenu_->Items().Add(item);
  };
  add("起卦 (硬币)", [this] { OpenReference(2); });
  add("时间起卦", [this] { OpenReference(3); });
  add("-", nullptr);
  add("起卦记录", [] { OpenJournal(); });
  // The program's skin, as the about window's menus show it: the start-up about window lives for
  // the whole run.
  for (int i = 0; i < Application->ComponentCount(); ++i)
    if (auto* about = dynamic_cast<TForm5*>(Application->Components(i)))
      if (auto* skin = dynamic_cast<TskSkinData*>(about->FindComponent("skSkinData1"))) {
        castMenu_->SetSkinData(skin);
        host->SkinData = skin;
        break;
      }
  return castMenu_;
}

void TForm1::ShowCastMenu(int x, int y) { CastMenu()->Popup(x, y); }

void TForm1::OpenReference(int index) {
  static const char* const kDocuments[] = {"dat\\sifaze.rtf", "dat\\yingbi.rtf", "dat\\shijian.rtf"};
  OpenModal(Form3, [&](TForm3& f) {
    f.Fill(kDocuments[index - 1]);
    // The two casting methods' texts cast, too.
    if (index == 2) f.EnableCasting(TCastMethod::Coins);
    if (index == 3) f.EnableCasting(TCastMethod::Clock);
  });
}

}  // namespace corvane
