// What a cast shows while it is made: the coin tosses line by line from the bottom up, or the
// numbers the clock gave. It lies over the reference window's document while a cast is made.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/Casting.h"
#include "platform/windows/Controls.h"

namespace corvane {

class TCastView : public TGraphicControl {
 public:
  explicit TCastView(TComponent* owner);
  std::string ClassName() const override { return "TCastView"; }

  void Clear(const std::string& heading);
  void AddToss(const TToss& toss);
  const std::vector<TToss>& Tosses() const { return tosses_; }
  // The clock's numbers, one line of text each.
  void ShowLines(const std::vector<std::string>& lines);
  const std::vector<std::string>& Lines() const { return lines_; }

 protected:
  void Paint() override;

 private:
  void PaintToss(TCanvas& c, int line, const TToss& t, int top);
  std::string heading_;
  std::vector<TToss> tosses_;
  std::vector<std::string> lines_;
};

// The local time the clock cast reads; tests set their own.
extern std::function<TLocalTime()> gCastClock;
TLocalTime LocalTimeNow();

// Pauses of a cast, in milliseconds: between two tosses, and while the clock's numbers show
// before the reading opens.
extern int gTossPauseMs;
extern int gClockPauseMs;

// The clock cast's working, as the 时间起卦法 text writes it out.
std::vector<std::string> ClockWorking(const TClockCast& c);

}  // namespace corvane
