// Where the program finds its documents and keeps its configuration file, in a build tree and in
// an installed one.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/Places.h"
#include "support/TestSupport.h"

using namespace corvane;
namespace fs = std::filesystem;

namespace {
void Put(const fs::path& p, const std::string& text) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

class Places : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("corvane_places_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "home");
    fs::create_directories(root_ / "work");
    places_.workingFolder = (root_ / "work").string();
    places_.home = (root_ / "home").string();
  }
  void TearDown() override { fs::remove_all(root_); }

  // An installed tree: usr/bin for the program, usr/share/corvane/dat with two documents.
  void Install() {
    fs::create_directories(root_ / "usr/bin");
    Put(root_ / "usr/share/corvane/dat/111111.rtf", "{\\rtf1 heaven}");
    Put(root_ / "usr/share/corvane/dat/a1.rtf", "{\\rtf1 empty note}");
    places_.programFolder = (root_ / "usr/bin").string();
  }

  fs::path root_;
  TPlaces places_;
};
}  // namespace

TEST_F(Places, ABuildTreeKeepsItsConfigurationBesideTheProgramAndItsDocumentsInTheWorkingFolder) {
  fs::create_directories(root_ / "build");
  places_.programFolder = (root_ / "build").string();
  EXPECT_FALSE(places_.IsInstalled());
  EXPECT_EQ(places_.ConfigurationFile(), (root_ / "build/corvane.ini").string());
  // No installed documents and no user copy: the program runs where it was started and reports
  // missing documents by their names, as it always did.
  EXPECT_EQ(places_.DocumentFolder(), "");
  fs::create_directories(root_ / "work/dat");
  EXPECT_EQ(places_.DocumentFolder(), "");
}

TEST_F(Places, AnInstalledProgramKeepsItsConfigurationInTheUsersFolder) {
  Install();
  EXPECT_TRUE(places_.IsInstalled());
  EXPECT_EQ(places_.InstalledDocuments(), (root_ / "usr/share/corvane/dat").string());
  EXPECT_EQ(places_.ConfigurationFile(), (root_ / "home/.config/corvane/corvane.ini").string());
  places_.configHome = (root_ / "cfg").string();
  EXPECT_EQ(places_.ConfigurationFile(), (root_ / "cfg/corvane/corvane.ini").string());
  // A relative base folder does not count.
  places_.configHome = "relative/cfg";
  EXPECT_EQ(places_.ConfigurationFile(), (root_ / "home/.config/corvane/corvane.ini").string());
}

TEST_F(Places, AProgramFolderThatCannotBeWrittenSendsTheConfigurationToTheUsersFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
  fs::create_directories(root_ / "locked");
  fs::permissions(root_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  places_.programFolder = (root_ / "locked").string();
  EXPECT_EQ(places_.ConfigurationFile(), (root_ / "home/.config/corvane/corvane.ini").string());
  fs::permissions(root_ / "locked", fs::perms::owner_all);
}

TEST_F(Places, AnInstalledProgramStartedElsewhereWorksInTheUsersCopyOfTheDocuments) {
  Install();
  EXPECT_EQ(places_.DocumentFolder(), (root_ / "home/.local/share/corvane").string());
  places_.dataHome = (root_ / "data").string();
  EXPECT_EQ(places_.DocumentFolder(), (root_ / "data/corvane").string());
  // Started in a folder with documents of its own, it uses those.
  fs::create_directories(root_ / "work/dat");
  EXPECT_EQ(places_.DocumentFolder(), "");
}

TEST_F(Places, TheUsersCopyIsMadeOnceAndTheNotesStayTheUsersOwn) {
  Install();
  const fs::path user = root_ / "home/.local/share/corvane";
  ASSERT_TRUE(CompleteUserDocuments(places_.InstalledDocuments(), user.string()));
  EXPECT_EQ(test::FileBytes(user / "dat/111111.rtf"), "{\\rtf1 heaven}");
  EXPECT_EQ(test::FileBytes(user / "dat/a1.rtf"), "{\\rtf1 empty note}");
  // The note is written by the user; a document goes missing.
  Put(user / "dat/a1.rtf", "{\\rtf1 my note}");
  fs::remove(user / "dat/111111.rtf");
  ASSERT_TRUE(CompleteUserDocuments(places_.InstalledDocuments(), user.string()));
  EXPECT_EQ(test::FileBytes(user / "dat/a1.rtf"), "{\\rtf1 my note}");
  EXPECT_EQ(test::FileBytes(user / "dat/111111.rtf"), "{\\rtf1 heaven}");
  // The copies can be written even when the installed files cannot.
  EXPECT_NE(fs::status(user / "dat/a1.rtf").permissions() & fs::perms::owner_write, fs::perms::none);
  // Once the user's copy exists it serves even without the installed tree.
  places_.programFolder = (root_ / "elsewhere").string();
  EXPECT_EQ(places_.DocumentFolder(), user.string());
}

TEST_F(Places, AUsersFolderThatCannotBeMadeIsReported) {
  Install();
  Put(root_ / "blocked", "a file where the folder should be");
  EXPECT_FALSE(CompleteUserDocuments(places_.InstalledDocuments(), (root_ / "blocked/corvane").string()));
}
