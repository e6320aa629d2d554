// A saved file keeps what the user set up around its content: its access control lists, its
// user attributes and its exact mode; a hard-linked file rewritten in place is never left part
// old, part new, even when the program is killed in the middle.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/core/Classes.h"

using namespace corvane;
namespace fs = std::filesystem;

namespace {

class KeepingFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("corvane-keeping-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    gBeforeInPlaceTruncate = nullptr;
    fs::remove_all(dir_);
  }
  fs::path dir_;
};

// An access list in the kernel's form: owner rw-, user 4321 r--, owning group ---, mask r--,
// others ---.
std::string AccessList() {
  struct Entry { uint16_t tag, perm; uint32_t id; };
  const uint32_t version = 2;
  const Entry entries[] = {{0x01, 6, 0xFFFFFFFF}, {0x02, 4, 4321}, {0x04, 0, 0xFFFFFFFF}, {0x10, 4, 0xFFFFFFFF}, {0x20, 0, 0xFFFFFFFF}};
  std::string bytes(reinterpret_cast<const char*>(&version), 4);
  bytes.append(reinterpret_cast<const char*>(entries), sizeof entries);
  return bytes;
}

std::string Attribute(const std::string& path, const char* name) {
  char buf[256];
  ssize_t n = ::getxattr(path.c_str(), name, buf, sizeof buf);
  return n < 0 ? std::string("<none>") : std::string(buf, static_cast<size_t>(n));
}

}  // namespace

TEST_F(KeepingFiles, ASaveKeepsTheAccessListTheUserAttributesAndTheExactMode) {
  const std::string note = (dir_ / "a1.rtf").string();
  WriteFileAtomically(note, "old");
  ASSERT_EQ(::chmod(note.c_str(), 0600), 0);
  const std::string acl = AccessList();
  if (::setxattr(note.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
    GTEST_SKIP() << "no access lists here: " << std::strerror(errno);
  ASSERT_EQ(::setxattr(note.c_str(), "user.origin", "kept", 4, 0), 0) << std::strerror(errno);
  struct stat before {};
  ASSERT_EQ(::stat(note.c_str(), &before), 0);
  WriteFileAtomically(note, "new content");
  EXPECT_EQ(ReadFileBytes(note), "new content");
  EXPECT_EQ(Attribute(note, "system.posix_acl_access"), acl) << "the owning group keeps ---";
  EXPECT_EQ(Attribute(note, "user.origin"), "kept");
  struct stat after {};
  ASSERT_EQ(::stat(note.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777);
}

// Killed between writing the new content and cutting the file to length: the next opening
// finishes the rewrite, so both names see the new content whole.
TEST_F(KeepingFiles, AHardLinkedFileKilledInTheMiddleOfItsRewriteEndsUpNew) {
  const std::string note = (dir_ / "a1.rtf").string(), other = (dir_ / "second.rtf").string();
  const std::string oldContent(17927, 'o'), newContent(161, 'n');
  WriteFileAtomically(note, oldContent);
  fs::create_hard_link(note, other);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    gBeforeInPlaceTruncate = [](const std::string&) -> bool { ::_exit(0); };
    try {
      WriteFileAtomically(note, newContent);
    } catch (...) {
    }
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child died between write and truncate";
  ASSERT_NE(ReadFileBytes(note), newContent) << "the kill came before the rewrite was done";
  RemoveLeftoverTemporaryFiles(note);
  EXPECT_EQ(ReadFileBytes(note), newContent);
  EXPECT_EQ(ReadFileBytes(other), newContent);
  EXPECT_EQ(fs::hard_link_count(note), 2u);
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_NE(entry.path().filename().string()[0], '.') << "nothing is left beside the note: " << entry.path();
}

// A second process on the same folder is seen while it runs, and no longer once it has ended.
TEST_F(KeepingFiles, AnotherProcessOnTheSameFolderIsSeenWhileItRuns) {
  const std::string folder = (dir_ / "dat").string();
  fs::create_directories(folder);
  EXPECT_FALSE(FolderSharedWithAnotherProcess(folder));
  int ready[2], done[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(done), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // What the other copy's call does, on a descriptor of its own (this process's is inherited).
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    ::flock(fd, LOCK_SH);
    char c = 1;
    (void)!::write(ready[1], &c, 1);
    (void)!::read(done[0], &c, 1);
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  EXPECT_TRUE(FolderSharedWithAnotherProcess(folder));
  (void)!::write(done[1], &c, 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_FALSE(FolderSharedWithAnotherProcess(folder));
  for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
}
