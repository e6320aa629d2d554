// The journal of casts: a SQLite file with a schema version, made on first use, kept across
// openings, and left untouched whenever it cannot be used.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/Journal.h"
#include "app/ReadingWindow.h"
#include "support/TestSupport.h"

using namespace corvane;
namespace fs = std::filesystem;

namespace {
class Journal : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("corvane_journal_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_);
  }
  // A statement through the sqlite3 library directly, as another program would run it.
  static std::string Query(const fs::path& db, const std::string& sql) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
    std::string out;
    sqlite3_exec(h, sql.c_str(), [](void* o, int n, char** v, char**) {
      auto* s = static_cast<std::string*>(o);
      for (int i = 0; i < n; ++i) *s += std::string(v[i] ? v[i] : "NULL") + (i + 1 < n ? "|" : "\n");
      return 0;
    }, &out, nullptr);
    sqlite3_close(h);
    return out;
  }
  // Opening must fail with a message naming the file and saying why, leaving its bytes alone.
  void ExpectRefused(const fs::path& db, const std::string& why) {
    const std::string before = test::FileBytes(db);
    try {
      TJournal j(db.string());
      ADD_FAILURE() << "opened " << db;
    } catch (const EJournalError& e) {
      EXPECT_NE(std::string(e.what()).find(db.string()), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
    }
    EXPECT_EQ(test::FileBytes(db), before);
  }
  fs::path dir_;
};
}  // namespace

TEST_F(Journal, IsMadeWithItsFolderAndSchemaVersionKeepsCastsNewestFirstAndReadsWellInOtherTools) {
  const fs::path db = dir_ / "data/corvane/journal.db";
  {
    TJournal j(db.string());
    const int64_t a = j.Add({0, "2024-04-17 11:30:00", "时间", "搬家？", "888779", ""});
    const int64_t b = j.Add({0, "2024-04-17 11:31:00", "卦码", "", "798677", ""});
    j.Add({0, "2024-04-18 09:00:00", "硬币", "", "789678", ""});
    j.SetNote(a, "先否后喜");
    j.Remove(b);
    EXPECT_THROW(j.Add({0, "2024-04-18 09:00:00", "卦码", "", "79867a", ""}), EJournalError);
  }
  EXPECT_EQ(Query(db, "PRAGMA user_version"), "1\n");
  EXPECT_EQ(Query(db, "SELECT code, question, note FROM casts ORDER BY id"), "888779|搬家？|先否后喜\n789678||\n");
  // Opened again: what was kept is there, newest first.
  TJournal j(db.string());
  const auto all = j.List();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].code, "789678");
  EXPECT_EQ(all[0].method, "硬币");
  EXPECT_EQ(all[1].code, "888779");
  EXPECT_EQ(all[1].note, "先否后喜");
  EXPECT_EQ(all[1].time, "2024-04-17 11:30:00");
}

TEST_F(Journal, ADamagedForeignOrNewerFileIsRefusedAndKeptByteForByte) {
  fs::create_directories(dir_);
  const fs::path damaged = dir_ / "damaged.db";
  std::ofstream(damaged, std::ios::binary) << std::string(4096, 'x');
  ExpectRefused(damaged, "损坏");
  // A real journal with its pages cut short.
  const fs::path cut = dir_ / "cut.db";
  {
    TJournal j(cut.string());
    for (int i = 0; i < 12; ++i) j.Add({0, "2024-04-17 11:30:00", "卦码", std::string(3000, 'q'), "798677", ""});
  }
  fs::resize_file(cut, fs::file_size(cut) / 2);
  ExpectRefused(cut, "损坏");
  const fs::path foreign = dir_ / "foreign.db";
  {
    sqlite3* h = nullptr;
    sqlite3_open(foreign.c_str(), &h);
    sqlite3_exec(h, "CREATE TABLE other (x)", nullptr, nullptr, nullptr);
    sqlite3_close(h);
  }
  ExpectRefused(foreign, "不是");
  const fs::path newer = dir_ / "newer.db";
  {
    TJournal j(newer.string());
  }
  {
    sqlite3* h = nullptr;
    sqlite3_open(newer.c_str(), &h);
    sqlite3_exec(h, "PRAGMA user_version = 2", nullptr, nullptr, nullptr);
    sqlite3_close(h);
  }
  ExpectRefused(newer, "较新");
  EXPECT_FALSE(fs::exists(dir_ / "damaged.db-journal"));
}

TEST_F(Journal, ASecondCopyAndAFileThatCannotBeWrittenAreToldSoAndChangeNothing) {
  const fs::path db = dir_ / "journal.db";
  auto first = std::make_unique<TJournal>(db.string());
  first->Add({0, "2024-04-17 11:30:00", "卦码", "", "798677", ""});
  // Another running copy: the first one keeps the file; other programs still read it.
  ExpectRefused(db, "另一个");
  EXPECT_EQ(Query(db, "SELECT code FROM casts"), "798677\n");
  first->Add({0, "2024-04-17 11:31:00", "卦码", "", "777777", ""});
  EXPECT_EQ(first->List().size(), 2u);
  first.reset();
  // A place where no file can be made, whoever runs the program: below a plain file.
  std::ofstream(dir_ / "plain") << "x";
  EXPECT_THROW(TJournal((dir_ / "plain/journal.db").string()), EJournalError);
  if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
  ::chmod(db.c_str(), 0444);
  ExpectRefused(db, "不能写入");
  ::chmod(db.c_str(), 0644);
  // A folder where no journal can be made.
  fs::create_directories(dir_ / "locked");
  fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_THROW(TJournal((dir_ / "locked/journal.db").string()), EJournalError);
  EXPECT_FALSE(fs::exists(dir_ / "locked/journal.db"));
}

TEST_F(Journal, LivesBesideDatWhenTheProgramRunsFromSuchAFolderAndInTheUsersDataFolderOtherwise) {
  fs::create_directories(dir_ / "run/dat");
  fs::create_directories(dir_ / "elsewhere");
  const fs::path before = fs::current_path();
  setenv("XDG_DATA_HOME", (dir_ / "xdg").c_str(), 1);
  fs::current_path(dir_ / "run");
  EXPECT_EQ(JournalPath(), (dir_ / "run/journal.db").string());
  fs::current_path(dir_ / "elsewhere");
  EXPECT_EQ(JournalPath(), (dir_ / "xdg/corvane/journal.db").string());
  fs::current_path(before);
  unsetenv("XDG_DATA_HOME");
}

TEST_F(Journal, ACastWithAnUnusableJournalIsStillReadAndTheUserIsToldWhyItWasNotKept) {
  fs::create_directories(dir_);
  const fs::path damaged = dir_ / "journal.db";
  std::ofstream(damaged, std::ios::binary) << std::string(4096, 'x');
  ResetProgramJournal(damaged.string());
  test::MessageBoxRecorder boxes;
  EXPECT_EQ(KeepInJournal(*ParseCastCode("798677"), "卦码", ""), 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_NE(boxes.boxes[0].text.find("损坏"), std::string::npos) << boxes.boxes[0].text;
  EXPECT_NE(boxes.boxes[0].text.find(damaged.string()), std::string::npos);
  EXPECT_EQ(test::FileBytes(damaged), std::string(4096, 'x'));
  // Once the file is usable again (here: moved away by the user), casts are kept.
  fs::rename(damaged, dir_ / "kept.db");
  EXPECT_GT(KeepInJournal(*ParseCastCode("798677"), "卦码", ""), 0);
  ResetProgramJournal();
}
