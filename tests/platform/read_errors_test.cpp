// A file that opens but cannot be read to its end (an I/O error, here /proc/self/mem, whose first
// page is never mapped) is an error, never a shorter file: the document readers report that they
// cannot open it, and the configuration file is not replaced by one built from a partial read.
// What is not a regular file (a FIFO, a device, a link to one) or is longer than the limit is
// refused the same way, at once: a FIFO never blocks the reader, a device is never read.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/text/RichText.h"
#include "support/FifoGuard.h"

using namespace corvane;
namespace fs = std::filesystem;

namespace {
const std::string kFailing = "/proc/self/mem";
}

TEST(ReadErrors, AStreamReadThatFailsRaisesInsteadOfEndingEarly) {
  TFileStream f(kFailing, TFileMode::fmOpenRead);  // opening works
  char buffer[16];
  EXPECT_THROW(f.Read(buffer, sizeof buffer), EReadError);
  EXPECT_THROW(f.ReadAll(), EReadError);
}

TEST(ReadErrors, ReadingAWholeFileThatFailsReportsCannotOpenIt) {
  try {
    ReadFileBytes(kFailing);
    FAIL() << "read as an empty file";
  } catch (const EFOpenError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file /proc/self/mem");
  }
}

TEST(ReadErrors, ADocumentThatCannotBeReadIsNotShownEmpty) {
  auto dir = fs::temp_directory_path() / ("corvane-read-errors-" + std::to_string(::getpid()));
  fs::create_directories(dir / "dat");
  fs::create_symlink(kFailing, dir / "dat" / "a1.rtf");
  try {
    LoadRichTextFile((dir / "dat").string() + "\\a1.rtf");
    ADD_FAILURE() << "loaded as an empty document";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + (dir / "dat").string() + "\\a1.rtf");
  }
  fs::remove_all(dir);
}

TEST(ReadErrors, AConfigurationFileThatCannotBeReadIsNotReplaced) {
  auto dir = fs::temp_directory_path() / ("corvane-read-errors-ini-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string path = (dir / "corvane.ini").string();
  fs::create_symlink(kFailing, path);
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("用户", "自定义1", "default"), "default");
  try {
    ini.WriteString("用户", "自定义1", "new");
    ADD_FAILURE() << "wrote a file built from a failed read";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
  EXPECT_TRUE(fs::is_symlink(path)) << "the file is left as it was";
  fs::remove_all(dir);
}

// ---- What is not a regular file, and files over the limit --------------------------------------

namespace {

class NotAFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("corvane-not-a-file-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Fifo(const std::string& name) {
    std::string p = (dir_ / name).string();
    EXPECT_EQ(::mkfifo(p.c_str(), 0644), 0);
    return p;
  }
  // A file of `size` bytes that takes no room (its content is a hole).
  std::string Sized(const std::string& name, int64_t size) {
    std::string p = (dir_ / name).string();
    int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
    return p;
  }
  static std::string OpenError(const std::function<void()>& read) {
    try {
      read();
    } catch (const EFOpenError& e) {
      return e.what();
    }
    return "(read without an error)";
  }
  fs::path dir_;
};

}  // namespace

TEST_F(NotAFile, AFifoIsRefusedAtOnceByEveryReader) {
  const std::string fifo = Fifo("a1.rtf");
  test::FifoGuard guard(fifo);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(OpenError([&] { ReadFileBytes(fifo); }), "Cannot open file " + fifo);
  EXPECT_EQ(OpenError([&] { TFileStream f(fifo, TFileMode::fmOpenRead); }), "Cannot open file " + fifo);
  EXPECT_EQ(OpenError([&] { TFileStream f(fifo, TFileMode::fmOpenReadWrite); }), "Cannot open file " + fifo);
  const std::string asGiven = dir_.string() + "\\a1.rtf";
  EXPECT_EQ(OpenError([&] { LoadRichTextFile(asGiven); }), "Cannot open file " + asGiven);
  EXPECT_FALSE(guard.Fired()) << "a reader blocked on the FIFO";
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(NotAFile, ADeviceOrALinkToOneIsNeverRead) {
  const std::string link = (dir_ / "a1.rtf").string();
  fs::create_symlink("/dev/urandom", link);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(OpenError([&] { ReadFileBytes(link); }), "Cannot open file " + link);
  EXPECT_EQ(OpenError([&] { LoadRichTextFile(link); }), "Cannot open file " + link);
  EXPECT_EQ(OpenError([] { ReadFileBytes("/dev/zero"); }), "Cannot open file /dev/zero");
  EXPECT_EQ(OpenError([] { TFileStream f("/dev/zero", TFileMode::fmOpenRead); }), "Cannot open file /dev/zero");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << "the device was read";
}

TEST_F(NotAFile, AFileOverTheLimitIsRefusedAndOneAtTheLimitIsRead) {
  const std::string over = Sized("over.rtf", kMaxReadFileBytes + 1);
  EXPECT_EQ(OpenError([&] { ReadFileBytes(over); }), "Cannot open file " + over);
  EXPECT_EQ(OpenError([&] { LoadRichTextFile(over); }), "Cannot open file " + over);
  const std::string at = Sized("at.rtf", kMaxReadFileBytes);
  EXPECT_EQ(ReadFileBytes(at).size(), static_cast<size_t>(kMaxReadFileBytes));
  // A limit of the caller's own.
  const std::string small = Sized("small", 11);
  EXPECT_EQ(OpenError([&] { ReadFileBytes(small, 10); }), "Cannot open file " + small);
  EXPECT_EQ(ReadFileBytes(small, 11).size(), 11u);
}

TEST_F(NotAFile, AFifoConfigurationFileReadsAsMissingAndIsNotReplaced) {
  const std::string fifo = Fifo("corvane.ini");
  test::FifoGuard guard(fifo);
  TIniFile ini(fifo);
  EXPECT_EQ(ini.ReadString("用户", "自定义1", "default"), "default");
  EXPECT_THROW(ini.WriteString("用户", "自定义1", "new"), EIniFileException);
  EXPECT_FALSE(guard.Fired()) << "the configuration file's reader blocked on the FIFO";
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO is left as it was";
}

TEST_F(NotAFile, AConfigurationFileOverItsLimitReadsAsMissingAndIsNotReplaced) {
  const std::string path = (dir_ / "corvane.ini").string();
  std::string big = "[s]\r\nk=title\r\n";
  big += "; " + std::string(static_cast<size_t>(TIniFile::kMaxFileBytes), 'x') + "\r\n";
  WriteFileAtomically(path, big);
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("s", "k", "default"), "default");
  EXPECT_THROW(ini.WriteString("s", "k", "new"), EIniFileException);
  EXPECT_EQ(ReadFileBytes(path).size(), big.size()) << "the file is left as it was";
  // At the limit it reads.
  big.resize(static_cast<size_t>(TIniFile::kMaxFileBytes));
  WriteFileAtomically(path, big);
  EXPECT_EQ(ini.ReadString("s", "k", "default"), "title");
}
