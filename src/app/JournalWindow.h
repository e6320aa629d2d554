// The journal window: every cast kept in the journal, newest first (date, question, 本卦 → 之卦);
// a cast is reopened as its reading, its note edited, or it is deleted after a question.
#pragma once

#include <string>
#include <vector>

#include "app/Conventions.h"
#include "app/Journal.h"

namespace corvane {

class TJournalList;

class TJournalWindow : public TForm {
 public:
  explicit TJournalWindow(TComponent* owner);
  ~TJournalWindow() override;
  std::string ClassName() const override { return "TJournalWindow"; }

  // Reads the journal (raises EJournalError when it cannot be used) and selects the entry with
  // `id`, else the newest.
  void Fill(int64_t id = 0);
  const std::vector<TJournalEntry>& Entries() const { return entries_; }
  int Selected() const;  // index into Entries(), -1 when the journal is empty
  void Select(int index);
  TControl* List() const;
  // Where entry `index` shows on the screen (its row's centre), when it is in view.
  TPoint RowCentre(int index) const;

  void ReopenSelected();
  void SaveNote();
  void DeleteSelected();  // asks first

  static constexpr const char* kDeleteQuestion = "删除这一卦的记录吗？删除后不能恢复。";

 private:
  TJournalList* list_ = nullptr;
  std::vector<TJournalEntry> entries_;
  TApplication::TMessageEvent previousOnMessage_;
};

// The journal window currently open (null when none).
extern TJournalWindow* JournalWindow;
// Opens the journal window modally at the entry `id` (0: the newest).
void OpenJournal(int64_t id = 0);

}  // namespace corvane
