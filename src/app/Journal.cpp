#include "app/Journal.h"

#include <sqlite3.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "app/Places.h"

namespace corvane {

namespace fs = std::filesystem;

namespace {
// How long a second copy of the program waits for the journal before it says so.
constexpr int kBusyWaitMs = 1000;

struct Statement {
  Statement(sqlite3* db, const char* sql) { rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr); }
  ~Statement() { sqlite3_finalize(stmt); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  void Bind(int i, const std::string& s) { sqlite3_bind_text(stmt, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT); }
  void Bind(int i, int64_t v) { sqlite3_bind_int64(stmt, i, v); }
  std::string Text(int col) const {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
    return t ? std::string(t, static_cast<size_t>(sqlite3_column_bytes(stmt, col))) : std::string();
  }
  sqlite3_stmt* stmt = nullptr;
  int rc = SQLITE_OK;
};

std::unique_ptr<TJournal>& ProgramJournalSlot() {
  static std::unique_ptr<TJournal> journal;
  return journal;
}
std::string& ProgramJournalPathOverride() {
  static std::string path;
  return path;
}
}  // namespace

void TJournal::Fail(int rc, const char* doing) {
  const int primary = rc & 0xff;
  std::string reason;
  if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
    reason = "起卦记录文件已损坏，无法读取；文件保持原样，未作改动：";
  else if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
    reason = "起卦记录文件正被另一个运行中的Corvane使用，请先关闭那个程序：";
  else if (primary == SQLITE_READONLY || primary == SQLITE_PERM || primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR)
    reason = std::string("起卦记录文件不能") + doing + "（" + sqlite3_errstr(rc) + "）：";
  else
    reason = std::string("起卦记录文件出错（") + sqlite3_errstr(rc) + "）：";
  throw EJournalError(reason + path_);
}

void TJournal::Exec(const char* sql) {
  const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) Fail(rc, "写入");
}

TJournal::TJournal(const std::string& path) : path_(path) {
  struct stat st {};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) throw EJournalError("该路径不是起卦记录文件：" + path);
  if (!exists) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
  }
  // One running copy owns the journal: a lock of its own on the file (not the database's locks,
  // which last only as long as a transaction), kept until the journal is closed. A second copy is
  // told so instead of writing between the first one's casts; other programs (the sqlite3 tool)
  // still read and write the file as a database. A file the program may only read is refused
  // here rather than at the first cast.
  lockFd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (exists ? 0 : O_CREAT), 0644);
  if (lockFd_ < 0) {
    const int e = errno;
    throw EJournalError(std::string(exists ? "起卦记录文件不能写入（" : "无法建立起卦记录文件（") + std::strerror(e) + "）：" + path_);
  }
  if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    ::close(lockFd_);
    lockFd_ = -1;
    Fail(SQLITE_BUSY, "打开");
  }
  int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
  try {
    if (rc != SQLITE_OK) Fail(rc, "打开");
    if (sqlite3_db_readonly(db_, "main") == 1) Fail(SQLITE_READONLY, "写入");
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kBusyWaitMs);
    Exec("PRAGMA synchronous=FULL");
    rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) Fail(rc, "打开");
    int version = -1;
    {
      Statement s(db_, "PRAGMA user_version");
      if (s.rc != SQLITE_OK) Fail(s.rc, "读取");
      rc = sqlite3_step(s.stmt);
      if (rc != SQLITE_ROW) Fail(rc, "读取");
      version = sqlite3_column_int(s.stmt, 0);
    }
    if (exists) {
      Statement s(db_, "PRAGMA quick_check");
      if (s.rc != SQLITE_OK) Fail(s.rc, "读取");
      rc = sqlite3_step(s.stmt);
      if (rc != SQLITE_ROW) Fail(rc, "读取");
      if (s.Text(0) != "ok") Fail(SQLITE_CORRUPT, "读取");
    }
    int tables = 0, ours = 0;
    {
      Statement s(db_, "SELECT count(*), count(CASE WHEN name = 'casts' AND type = 'table' THEN 1 END) FROM sqlite_master");
      if (s.rc != SQLITE_OK) Fail(s.rc, "读取");
      if ((rc = sqlite3_step(s.stmt)) != SQLITE_ROW) Fail(rc, "读取");
      tables = sqlite3_column_int(s.stmt, 0);
      ours = sqlite3_column_int(s.stmt, 1);
    }
    if (version > kSchemaVersion)
      throw EJournalError("起卦记录文件由较新版本的Corvane建立，本程序不能使用；文件未作改动：" + path_);
    if (version == 0 && tables == 0) {
      Exec("CREATE TABLE casts ("
           " id INTEGER PRIMARY KEY,"
           " time TEXT NOT NULL,"
           " method TEXT NOT NULL,"
           " question TEXT NOT NULL DEFAULT '',"
           " code TEXT NOT NULL CHECK (length(code) = 6 AND code NOT GLOB '*[^6-9]*'),"
           " note TEXT NOT NULL DEFAULT '')");
      Exec("PRAGMA user_version = 1");
    } else if (version != kSchemaVersion || ours != 1) {
      throw EJournalError("该文件不是Corvane的起卦记录，未作改动：" + path_);
    }
    Exec("COMMIT");
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    ::close(lockFd_);  // after the database: closing a file drops the process's locks on it
    lockFd_ = -1;
    throw;
  }
}

TJournal::~TJournal() {
  sqlite3_close(db_);
  if (lockFd_ >= 0) ::close(lockFd_);
}

int64_t TJournal::Add(const TJournalEntry& e) {
  Statement s(db_, "INSERT INTO casts (time, method, question, code, note) VALUES (?, ?, ?, ?, ?)");
  if (s.rc != SQLITE_OK) Fail(s.rc, "写入");
  s.Bind(1, e.time);
  s.Bind(2, e.method);
  s.Bind(3, e.question);
  s.Bind(4, e.code);
  s.Bind(5, e.note);
  const int rc = sqlite3_step(s.stmt);
  if (rc != SQLITE_DONE) Fail(rc, "写入");
  return sqlite3_last_insert_rowid(db_);
}

std::vector<TJournalEntry> TJournal::List() {
  Statement s(db_, "SELECT id, time, method, question, code, note FROM casts ORDER BY id DESC");
  if (s.rc != SQLITE_OK) Fail(s.rc, "读取");
  std::vector<TJournalEntry> out;
  int rc;
  while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW)
    out.push_back({sqlite3_column_int64(s.stmt, 0), s.Text(1), s.Text(2), s.Text(3), s.Text(4), s.Text(5)});
  if (rc != SQLITE_DONE) Fail(rc, "读取");
  return out;
}

void TJournal::SetNote(int64_t id, const std::string& note) {
  Statement s(db_, "UPDATE casts SET note = ? WHERE id = ?");
  if (s.rc != SQLITE_OK) Fail(s.rc, "写入");
  s.Bind(1, note);
  s.Bind(2, id);
  const int rc = sqlite3_step(s.stmt);
  if (rc != SQLITE_DONE) Fail(rc, "写入");
}

void TJournal::Remove(int64_t id) {
  Statement s(db_, "DELETE FROM casts WHERE id = ?");
  if (s.rc != SQLITE_OK) Fail(s.rc, "写入");
  s.Bind(1, id);
  const int rc = sqlite3_step(s.stmt);
  if (rc != SQLITE_DONE) Fail(rc, "写入");
}

std::string JournalPath() {
  const TPlaces places = TPlaces::FromEnvironment();
  std::error_code ec;
  if (fs::is_directory(fs::path(places.workingFolder) / "dat", ec)) return (fs::path(places.workingFolder) / "journal.db").string();
  return (fs::path(places.UserDataFolder()) / "journal.db").string();
}

TJournal& ProgramJournal() {
  auto& slot = ProgramJournalSlot();
  if (!slot) {
    const std::string& path = ProgramJournalPathOverride();
    slot = std::make_unique<TJournal>(path.empty() ? JournalPath() : path);
  }
  return *slot;
}

void ResetProgramJournal(const std::string& path) {
  ProgramJournalSlot().reset();
  ProgramJournalPathOverride() = path;
}

std::string JournalTimeNow() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&t, &local);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
  return buf;
}

}  // namespace corvane
