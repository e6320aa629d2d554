// The journal of casts: one SQLite file holding every cast the user made, newest last, with its
// question and a note the user may add later.
//
// The file is a real database (atomic, durable, one file). It carries its schema version in the
// database header (`PRAGMA user_version`). A file that is damaged, of a newer schema, not a
// journal, locked by another running copy of the program or not writable is refused with a
// message for the user and left exactly as it is: the journal never overwrites, repairs or
// deletes a file it did not make or cannot read.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

namespace corvane {

class EJournalError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TJournalEntry {
  int64_t id = 0;
  std::string time;      // local time of the cast, "2024-04-17 11:30"
  std::string method;    // "硬币", "时间", "卦码"
  std::string question;  // may be empty
  std::string code;      // the six line values, "798677"
  std::string note;      // the user's own note, may be empty
};

class TJournal {
 public:
  static constexpr int kSchemaVersion = 1;

  // Opens the journal at `path`, making it (and its folder) when there is no file yet. Raises
  // EJournalError with the reason and the path when the file cannot be used.
  explicit TJournal(const std::string& path);
  ~TJournal();
  TJournal(const TJournal&) = delete;
  TJournal& operator=(const TJournal&) = delete;

  const std::string& Path() const { return path_; }
  // Adds a cast and gives its id.
  int64_t Add(const TJournalEntry& entry);
  // Every cast, newest first.
  std::vector<TJournalEntry> List();
  void SetNote(int64_t id, const std::string& note);
  void Remove(int64_t id);

 private:
  void Exec(const char* sql);
  [[noreturn]] void Fail(int rc, const char* doing);
  std::string path_;
  sqlite3* db_ = nullptr;
  int lockFd_ = -1;  // holds this copy's lock on the file
};

// The program's journal file: beside `dat` when the working folder has one (a program run from
// its own folder), else $XDG_DATA_HOME/corvane/journal.db.
std::string JournalPath();

// The program's journal, opened on first use (never at start-up). Raises EJournalError as the
// constructor does; a later call tries again.
TJournal& ProgramJournal();
// Closes the program's journal; the next use opens `path` (empty: JournalPath()). For tests.
void ResetProgramJournal(const std::string& path = {});

// The local time now, as the journal writes it.
std::string JournalTimeNow();

}  // namespace corvane
