// The reading window: one hexagram's picture, the rules for changing lines and its commentary.
// A cast reading adds the moving lines, the changed hexagram (a click opens its own reading), the
// rule that applies marked in the rules text and the texts it points to marked in the commentary.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Casting.h"
#include "app/Conventions.h"

namespace corvane {

class TForm2 : public TForm {
 public:
  explicit TForm2(TComponent* owner);
  ~TForm2() override;
  std::string ClassName() const override { return "TForm2"; }
  // Loads dat\<code>.rtf into the document view, then shows the hexagram's picture.
  void Fill(const std::string& code);
  // A cast: the cast hexagram's reading as Fill gives it, with the changed hexagram's text after
  // it when a line moves, then the marks of the cast. `journalId` is its entry in the journal
  // (0: none), which the window's journal button opens at.
  void FillCast(const TCast& cast, int64_t journalId = 0);

  const std::optional<TCast>& Cast() const { return cast_; }
  // The rules text, one string per line, and the lines of rule 1..7 in it.
  std::vector<std::string> RulesText() const;
  std::vector<int> RuleLines(int rule) const;
  // Character positions in the document view of the passages the cast's rule points to, in the
  // order the rule reads them (the view is scrolled to the first).
  const std::vector<int>& PassagePositions() const { return passagePositions_; }
  // The changed hexagram's picture (none when no line moves); its click opens that reading.
  TControl* ChangedPicture() const { return changedPicture_; }
  // The marks of the moving lines beside the cast hexagram, bottom line first.
  const std::vector<TControl*>& MovingMarks() const { return movingMarks_; }

  // The mark put before each line of the rule that applies.
  static constexpr const char* kRuleMark = "▶";

 private:
  void MarkRule(int rule);
  void ShowRuleAtTop();
  void MarkPassages(const TReadingRule& rule, const std::string& primary, const std::string& changed);
  std::optional<TCast> cast_;
  std::vector<int> passagePositions_;
  TControl* changedPicture_ = nullptr;
  std::vector<TControl*> movingMarks_;
  int64_t journalId_ = 0;
  int memoCaret_ = 0;  // the rules text's caret: at the rule that applies
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for calls posted to later
};

// Keeps a cast in the program's journal ("硬币", "时间", "卦码") and gives its id. A journal that
// cannot be used is reported in a warning box and the cast goes unrecorded (0); the file is left
// as it is.
int64_t KeepInJournal(const TCast& cast, const std::string& method, const std::string& question);

// Opens a cast reading modally (the lookup, the coin and clock windows, the journal).
void OpenCastReading(const TCast& cast, int64_t journalId = 0);

}  // namespace corvane
