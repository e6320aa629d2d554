// The reference window: a read-only view of one reference text. The windows of the two casting
// methods (硬币起卦法, 时间起卦法) also cast: a question field and a 起卦 button below the text.
#pragma once

#include <memory>
#include <string>

#include "app/Conventions.h"

namespace corvane {

class TCastView;
class TTimer;

enum class TCastMethod { Coins, Clock };

class TForm3 : public TForm {
 public:
  explicit TForm3(TComponent* owner);
  ~TForm3() override;
  std::string ClassName() const override { return "TForm3"; }
  void Fill(const std::string& document);

  // Adds the question field ("castQuestion") and the 起卦 button ("castButton") below the text.
  void EnableCasting(TCastMethod method);
  // The 起卦 button's action: three coins tossed six times one line after another, or the
  // clock's numbers, then the cast reading (kept in the journal with the question).
  void Cast();
  TCastView* CastView() const { return view_; }
  bool Casting() const { return casting_; }

 private:
  void NextToss();
  void Finish(const struct TCast& cast, const char* method);
  TCastMethod method_ = TCastMethod::Coins;
  TCastView* view_ = nullptr;
  TTimer* timer_ = nullptr;
  bool casting_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace corvane
