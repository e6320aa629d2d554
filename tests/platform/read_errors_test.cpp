// A file that opens but cannot be read to its end (an I/O error, here /proc/self/mem, whose first
// page is never mapped) is an error, never a shorter file: the document readers report that they
// cannot open it, and the configuration file is not replaced by one built from a partial read.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/Classes.h"
#include "platform/IniFiles.h"
#include "platform/RichText.h"

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
