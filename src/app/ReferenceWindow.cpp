#include "app/ReferenceWindow.h"

#include "app/CastView.h"
#include "app/Casting.h"
#include "app/ReadingWindow.h"
#include "controls/Button.h"
#include "controls/Edit.h"

namespace corvane {

namespace {
// The document is shortened to make room for the casting row inside the white box.
constexpr int kCastRowHeight = 38;
}  // namespace

TForm3::TForm3(TComponent* owner) : TForm(owner) {
  PublishPictureButtons(this, [] { return static_cast<TForm*>(Form3); }, false);
  BuildFromLayout(this, "ReferenceWindow.lfm");
}

TForm3::~TForm3() { *alive_ = false; }

void TForm3::Fill(const std::string& document) { Find<TRichEdit>(this, "richedit1")->LoadFromFile(document); }

void TForm3::EnableCasting(TCastMethod method) {
  method_ = method;
  auto* text = Find<TControl>(this, "richedit1");
  text->SetBounds(text->Left(), text->Top(), text->Width(), text->Height() - kCastRowHeight);
  const int row = text->Top() + text->Height() + 8;

  auto* label = new TLabel(this);
  label->SetParent(this);
  label->Transparent = true;
  label->Font().SetName("宋体");
  label->Font().SetHeight(-12);
  label->SetCaption("所问之事（可不填）：");
  label->SetBounds(text->Left() + 4, row + 5, 130, 14);

  auto* question = new TthEdit(this);
  question->SetName("castQuestion");
  question->SetParent(this);
  question->SetUIStyle(TthUIStyle::MacOS);
  question->SetBounds(text->Left() + 134, row + 3, 300, 19);
  question->SetTabOrder(0);

  auto* button = new TthButton(this);
  button->SetName("castButton");
  button->SetParent(this);
  button->SetUIStyle(TthUIStyle::WinXP);
  button->SetCaption("起卦");
  button->SetBounds(text->Left() + text->Width() - 84, row, 80, 27);
  button->SetTabOrder(1);
  button->TabStop = true;
  button->OnClick = [this](TObject*) { Cast(); };

  view_ = new TCastView(this);
  view_->SetParent(this);
  view_->SetBounds(text->Left(), text->Top(), text->Width(), text->Height());
  view_->Hide();

  timer_ = new TTimer(this);
  timer_->SetEnabled(false);
  SetActiveControl(question);
}

void TForm3::Cast() {
  if (casting_ || !view_) return;
  casting_ = true;
  Find<TControl>(this, "castButton")->SetEnabled(false);
  Find<TControl>(this, "richedit1")->Hide();
  view_->Show();
  const std::string question = Find<TControl>(this, "castQuestion")->Text();
  const std::string heading = question.empty() ? std::string() : "所问：" + question;
  if (method_ == TCastMethod::Coins) {
    view_->Clear(heading.empty() ? "三枚硬币，摇六次，从初爻到上爻" : heading);
    timer_->SetInterval(gTossPauseMs);
    timer_->OnTimer = [this](TObject*) { NextToss(); };
    timer_->SetEnabled(true);
    return;
  }
  TClockCast c;
  try {
    c = CastFromClock(gCastClock(), SystemLunarDate);
  } catch (...) {
    casting_ = false;
    view_->Hide();
    Find<TControl>(this, "richedit1")->Show();
    Find<TControl>(this, "castButton")->SetEnabled(true);
    throw;
  }
  view_->Clear(heading.empty() ? "时间起卦" : heading);
  view_->ShowLines(ClockWorking(c));
  timer_->SetInterval(gClockPauseMs);
  timer_->OnTimer = [this, cast = c.cast](TObject*) {
    timer_->SetEnabled(false);
    Finish(cast, "时间");
  };
  timer_->SetEnabled(true);
}

void TForm3::NextToss() {
  if (view_->Tosses().size() < 6) {
    view_->AddToss(TossThreeCoins(SystemRandomBits));
    return;
  }
  // A pause after the sixth line too, then the reading.
  timer_->SetEnabled(false);
  TCast cast;
  for (int i = 0; i < 6; ++i) cast.values[i] = view_->Tosses()[i].value;
  Finish(cast, "硬币");
}

void TForm3::Finish(const TCast& cast, const char* method) {
  const std::string question = Find<TControl>(this, "castQuestion")->Text();
  // The reading opens from the event loop, not from inside the timer's handler.
  PostCall([this, alive = alive_, cast, method = std::string(method), question] {
    if (!*alive) return;
    auto restore = [this, alive] {
      if (!*alive) return;
      casting_ = false;
      view_->Hide();
      Find<TControl>(this, "richedit1")->Show();
      Find<TControl>(this, "castButton")->SetEnabled(true);
    };
    TForm3* self = Form3;
    try {
      const int64_t id = KeepInJournal(cast, method, question);
      OpenCastReading(cast, id);
    } catch (...) {
      Form3 = self;
      restore();
      throw;
    }
    Form3 = self;
    restore();
  });
}

}  // namespace corvane
