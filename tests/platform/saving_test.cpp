// Saving a file keeps what the user set up around it: a read-only file is an error and stays as it
// was, a symbolic link stays a link and its target gets the content, every name of a hard-linked
// file sees the new content, the file's owner and mode are kept, and only regular files are ever
// written. Temporary files left by interrupted saves are found and removed.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/Classes.h"

using namespace corvane;
namespace fs = std::filesystem;

namespace {

class Saving : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("corvane-saving-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "dat");
  }
  void TearDown() override {
    gBeforeAtomicRename = nullptr;
    std::error_code ec;
    fs::permissions(dir_ / "dat" / "a1.rtf", fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_);
  }
  std::string P(const std::string& relative) const { return (dir_ / relative).string(); }
  static std::string CreateError(const std::function<void()>& save) {
    try {
      save();
    } catch (const EFCreateError& e) {
      return e.what();
    }
    return "(saved without an error)";
  }
  std::vector<std::string> Entries(const std::string& relative) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_ / relative)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path dir_;
};

}  // namespace

TEST_F(Saving, AReadOnlyFileIsAnErrorAndKeepsItsContent) {
  WriteFileAtomically(P("dat/a1.rtf"), "old");
  fs::permissions(P("dat/a1.rtf"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string asGiven = P("dat") + "\\a1.rtf";
  EXPECT_EQ(CreateError([&] { WriteFileAtomically(asGiven, "new"); }), "Cannot create file " + asGiven);
  EXPECT_EQ(ReadFileBytes(P("dat/a1.rtf")), "old");
  EXPECT_EQ(Entries("dat"), std::vector<std::string>{"a1.rtf"}) << "no temporary file is left";
  // Writable again, it saves.
  fs::permissions(P("dat/a1.rtf"), fs::perms::owner_write, fs::perm_options::add);
  WriteFileAtomically(asGiven, "new");
  EXPECT_EQ(ReadFileBytes(P("dat/a1.rtf")), "new");
}

TEST_F(Saving, ASymbolicLinkStaysALinkAndItsTargetGetsTheContent) {
  fs::create_directories(dir_ / "elsewhere");
  WriteFileAtomically(P("elsewhere/real.rtf"), "old");
  fs::create_symlink("../elsewhere/real.rtf", dir_ / "dat" / "a1.rtf");  // relative to the link
  fs::create_symlink("a1.rtf", dir_ / "dat" / "a2.rtf");                  // a chain of two
  WriteFileAtomically(P("dat/a2.rtf"), "new content");
  EXPECT_TRUE(fs::is_symlink(dir_ / "dat" / "a1.rtf"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "dat" / "a2.rtf"));
  EXPECT_EQ(fs::read_symlink(dir_ / "dat" / "a1.rtf"), "../elsewhere/real.rtf");
  EXPECT_EQ(ReadFileBytes(P("elsewhere/real.rtf")), "new content");
  EXPECT_EQ(Entries("elsewhere"), std::vector<std::string>{"real.rtf"}) << "no temporary file is left";
  EXPECT_EQ(Entries("dat"), (std::vector<std::string>{"a1.rtf", "a2.rtf"}));
  // A link whose target does not exist yet creates it.
  fs::create_symlink("../elsewhere/new.rtf", dir_ / "dat" / "a3.rtf");
  WriteFileAtomically(P("dat/a3.rtf"), "created");
  EXPECT_TRUE(fs::is_symlink(dir_ / "dat" / "a3.rtf"));
  EXPECT_EQ(ReadFileBytes(P("elsewhere/new.rtf")), "created");
}

TEST_F(Saving, ALinkLoopIsAnError) {
  fs::create_symlink("a2.rtf", dir_ / "dat" / "a1.rtf");
  fs::create_symlink("a1.rtf", dir_ / "dat" / "a2.rtf");
  EXPECT_EQ(CreateError([&] { WriteFileAtomically(P("dat/a1.rtf"), "x"); }), "Cannot create file " + P("dat/a1.rtf"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "dat" / "a1.rtf"));
}

TEST_F(Saving, WhatIsNotARegularFileIsNeverWritten) {
  fs::create_symlink("/dev/null", dir_ / "dat" / "a1.rtf");
  EXPECT_EQ(CreateError([&] { WriteFileAtomically(P("dat/a1.rtf"), "x"); }), "Cannot create file " + P("dat/a1.rtf"));
  struct stat st {};
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device is still a device";
  EXPECT_TRUE(fs::is_symlink(dir_ / "dat" / "a1.rtf"));
  ASSERT_EQ(::mkfifo(P("dat/a2.rtf").c_str(), 0644), 0);
  EXPECT_EQ(CreateError([&] { WriteFileAtomically(P("dat/a2.rtf"), "x"); }), "Cannot create file " + P("dat/a2.rtf"));
  EXPECT_TRUE(fs::is_fifo(dir_ / "dat" / "a2.rtf"));
}

TEST_F(Saving, EveryNameOfAHardLinkedFileSeesTheNewContent) {
  WriteFileAtomically(P("dat/a1.rtf"), "the old content, longer than the new one");
  fs::create_hard_link(dir_ / "dat" / "a1.rtf", dir_ / "backup.rtf");
  const auto inode = [](const std::string& p) { struct stat st {}; ::stat(p.c_str(), &st); return st.st_ino; };
  const auto before = inode(P("dat/a1.rtf"));
  WriteFileAtomically(P("dat/a1.rtf"), "new");
  EXPECT_EQ(ReadFileBytes(P("dat/a1.rtf")), "new");
  EXPECT_EQ(ReadFileBytes(P("backup.rtf")), "new");
  EXPECT_EQ(inode(P("dat/a1.rtf")), before);
  EXPECT_EQ(fs::hard_link_count(dir_ / "backup.rtf"), 2u);
  WriteFileAtomically(P("backup.rtf"), "grown through the other name, longer than before");
  EXPECT_EQ(ReadFileBytes(P("dat/a1.rtf")), "grown through the other name, longer than before");
  EXPECT_EQ(Entries("dat"), std::vector<std::string>{"a1.rtf"}) << "no temporary file is left";
}

TEST_F(Saving, OwnerAndModeAreKept) {
  WriteFileAtomically(P("dat/a1.rtf"), "old");
  ASSERT_EQ(::chmod(P("dat/a1.rtf").c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) ASSERT_EQ(::chown(P("dat/a1.rtf").c_str(), 4321, 8765), 0);
  else std::printf("[ not root: a file cannot be given away, so only the mode is checked ]\n");
  WriteFileAtomically(P("dat/a1.rtf"), "new");
  struct stat st {};
  ASSERT_EQ(::stat(P("dat/a1.rtf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 8765u);
  }
  // A new file gets the usual mode.
  WriteFileAtomically(P("dat/a2.rtf"), "new");
  ASSERT_EQ(::stat(P("dat/a2.rtf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_F(Saving, LeftoverTemporaryFilesOfAnInterruptedSaveAreRemoved) {
  WriteFileAtomically(P("dat/a1.rtf"), "note");
  // What a kill between writing and renaming leaves: the temporary file of a real save.
  std::string left;
  gBeforeAtomicRename = [&](const std::string& temp) { left = temp; return false; };
  EXPECT_THROW(WriteFileAtomically(P("dat/a1.rtf"), "lost"), EFCreateError);
  gBeforeAtomicRename = nullptr;
  ASSERT_FALSE(left.empty());
  WriteFileAtomically(left, "left by a kill");  // put it back as the killed save would have left it
  WriteFileAtomically(P("dat/.a1.rtf.Ab3xY9"), "another");
  // Not temporary files of this document: kept.
  WriteFileAtomically(P("dat/.a2.rtf.Ab3xY9"), "another document's");
  WriteFileAtomically(P("dat/.a1.rtf.short"), "not the pattern");
  WriteFileAtomically(P("dat/a1.rtf.Ab3xY9"), "not hidden");
  fs::create_directory(dir_ / "dat" / ".a1.rtf.QWERTY");
  EXPECT_EQ(RemoveLeftoverTemporaryFiles(P("dat") + "\\a1.rtf"), 2);
  EXPECT_EQ(Entries("dat"), (std::vector<std::string>{".a1.rtf.QWERTY", ".a1.rtf.short", ".a2.rtf.Ab3xY9", "a1.rtf",
                                                      "a1.rtf.Ab3xY9"}));
  EXPECT_EQ(ReadFileBytes(P("dat/a1.rtf")), "note");
  // Through a link they are looked for beside the target, where the saves put them.
  fs::create_directories(dir_ / "elsewhere");
  WriteFileAtomically(P("elsewhere/real.rtf"), "x");
  WriteFileAtomically(P("elsewhere/.real.rtf.000000"), "left");
  fs::create_symlink("../elsewhere/real.rtf", dir_ / "dat" / "a3.rtf");
  EXPECT_EQ(RemoveLeftoverTemporaryFiles(P("dat/a3.rtf")), 1);
  EXPECT_EQ(Entries("elsewhere"), std::vector<std::string>{"real.rtf"});
}
