// The fault matrix: what the user sees when the files the program depends on fail it, and that
// nothing is lost on the way. Each test makes the fault as honestly as this machine allows and
// says so where it has to fall back:
// - tests run as root here, and permissions do not stop root. A document is made unreadable by
//   putting a directory in its place or by pointing it at a file whose reading fails with an I/O
//   error (/proc/self/mem from offset 0); "read-only" and "disk full" are made with a small tmpfs
//   mounted over `dat` (remounted read-only, or filled up). Where mounting is not permitted the
//   tests fall back to permissions (not root) or to the injected write failure gBeforeAtomicRename
//   (root without mount rights), and print which one they used.
// - the program killed while saving is a child process that saves through SaveRichTextFile, the
//   code TRichEdit::SaveToFile ends in, killed with SIGKILL in a loop.
// The matrix and what the user sees in each row are written up in docs/faults.md.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <thread>

#include "app/AboutWindow.h"
#include "app/Catalogue.h"
#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "platform/core/IniFiles.h"
#include "platform/text/RichText.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/SkinPackage.h"
#include "support/FifoGuard.h"
#include "support/TestSupport.h"

using namespace corvane;
namespace fs = std::filesystem;

namespace {

const char* const kNotes[] = {"dat/a1.rtf", "dat/a2.rtf", "dat/a3.rtf"};

std::string Slurp(const fs::path& p) { return ReadFileBytes(p.string()); }

// A small tmpfs mounted over a folder for the life of the object, when this process may mount.
class Tmpfs {
 public:
  Tmpfs(const fs::path& dir, const char* size) : dir_(dir), options_(std::string("size=") + size + ",mode=0755") {
    fs::create_directories(dir);
    mounted_ = ::mount("tmpfs", dir.c_str(), "tmpfs", 0, options_.c_str()) == 0;
  }
  ~Tmpfs() {
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }
  bool RemountReadOnly() { return ::mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, options_.c_str()) == 0; }
  bool RemountWritable() { return ::mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT, options_.c_str()) == 0; }
 private:
  fs::path dir_;
  std::string options_;
  bool mounted_ = false;
};

class FaultMatrix : public ::testing::Test {
 protected:
  void SetUp() override {
    source_ = test::SourceDir();
    work_ = fs::temp_directory_path() / ("corvane-faults-" + std::to_string(::getpid()));
    fs::remove_all(work_);
    fs::create_directories(work_ / "dat");
    fs::current_path(work_);
    configPath_ = ConfigurationPath();
    if (FileExists(configPath_) && !fs::is_directory(configPath_)) savedConfig_ = ReadFileBytes(configPath_);
    fs::remove_all(configPath_);
    previousForm1_ = Form1;
    previousAddress_ = gAboutPageAddress;
    gAboutPageAddress = "http://127.0.0.1:9/about/";  // nothing listens: the view shows its own page
  }
  void TearDown() override {
    gBeforeAtomicRename = nullptr;
    gAboutPageAddress = previousAddress_;
    form_.reset();
    Form1 = previousForm1_;
    fs::current_path(source_);
    mount_.reset();
    std::error_code ec;
    fs::permissions(work_ / "dat", fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(work_, ec);
    fs::remove_all(configPath_, ec);
    if (savedConfig_) WriteFileAtomically(configPath_, *savedConfig_);
  }

  // The program's documents, copied into the working folder's dat.
  void CopyDocuments() {
    for (const auto& e : fs::directory_iterator(fs::path(source_) / "dat"))
      fs::copy_file(e.path(), work_ / "dat" / e.path().filename(), fs::copy_options::overwrite_existing);
  }
  // The three note bodies, with text of their own so that a save is visible.
  void WriteNotes() {
    for (int i = 0; i < 3; ++i) {
      RichDocument doc = RichDocumentFromText("原来的笔记 " + std::to_string(i + 1) + "\nold body line two");
      SaveRichTextFile(kNotes[i], doc);
    }
  }
  std::vector<std::string> NoteBytes() {
    std::vector<std::string> v;
    for (const char* n : kNotes) v.push_back(Slurp(n));
    return v;
  }

  // A main window as the program creates it (not the application's main form, so closing it only
  // hides it).
  TForm1& Create() {
    form_ = std::make_unique<TForm1>(Application);
    Form1 = form_.get();
    form_->Show();
    Application->ProcessMessages();
    return *form_;
  }
  TControl* C(const std::string& name) { return Find<TControl>(form_.get(), name); }
  void CloseMainWindow() {
    Input::MoveOver(C("ww2"), 5, 5);
    Input::ClickOn(C("w2"), 5, 5);
  }
  // Runs `inside` within the next modal loop, then closes the modal window; returns whether a
  // modal window came up at all.
  bool InModal(std::function<void(TForm*)> inside, std::function<void()> open) {
    return InModalSteps({inside, [](TForm* f) { f->Close(); }}, open);
  }
  // Runs each step in its own turn of the modal loop (so that a Close() in one step has been
  // handled, its close handler run, before the next step), then leaves the window to the last step.
  bool InModalSteps(std::vector<std::function<void(TForm*)>> steps, std::function<void()> open) {
    bool opened = false;
    std::function<void(size_t)> run = [&](size_t i) {
      TForm* modal = Screen->ActiveForm();
      if (!modal || !modal->IsModal()) return;
      opened = true;
      steps[i](modal);
      if (i + 1 < steps.size()) PostCall([&run, i] { run(i + 1); });
    };
    PostCall([&run] { run(0); });
    open();
    Application->ProcessMessages();
    return opened;
  }

  std::string source_;
  fs::path work_;
  std::string configPath_;
  std::optional<std::string> savedConfig_;
  std::unique_ptr<TForm1> form_;
  TForm1* previousForm1_ = nullptr;
  std::string previousAddress_;
  std::unique_ptr<Tmpfs> mount_;
};

}  // namespace

// ---- Reading documents -----------------------------------------------------------------------

TEST_F(FaultMatrix, DatMissingReportsTheFirstDocumentAndOpensNoWindow) {
  fs::remove_all(work_ / "dat");
  TIniFile(configPath_).WriteString("用户", "自定义1", "我的笔记");
  test::MessageBoxRecorder boxes;
  Create();
  EXPECT_EQ(C("Label3")->Caption(), "我的笔记") << "the titles still load from beside the program";
  const int forms = Screen->FormCount();
  Input::ClickOn(C("ii1"), 10, 10);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Cannot open file dat\\111111.rtf.");
  EXPECT_EQ(boxes.boxes[0].caption, "Corvane");
  EXPECT_EQ(boxes.boxes[0].flags & 0xF0, static_cast<unsigned>(MB_ICONSTOP));
  EXPECT_EQ(Screen->FormCount(), forms) << "no reading window is left behind";
  EXPECT_TRUE(form_->Enabled());
  // The notes cannot open either, and nothing is created in their place.
  Input::ClickOn(C("Label3"), 2, 2);
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[1].text, "Cannot open file dat\\a1.rtf.");
  EXPECT_FALSE(fs::exists(work_ / "dat"));
  EXPECT_EQ(C("Label3")->Caption(), "我的笔记");
}

TEST_F(FaultMatrix, AnUnreadableDocumentReportsCannotOpenItAndNothingIsWrittenOverIt) {
  CopyDocuments();
  const std::string commentary = "dat/111111.rtf";
  // Three ways a document that exists cannot be read.
  struct Way { const char* what; std::function<void()> make; };
  std::vector<Way> ways = {
      {"a directory in its place", [&] { fs::remove(commentary); fs::create_directory(commentary); }},
      {"an I/O error while reading", [&] { fs::remove_all(commentary); fs::create_symlink("/proc/self/mem", commentary); }},
      {"a FIFO in its place", [&] { fs::remove_all(commentary); ASSERT_EQ(::mkfifo(commentary.c_str(), 0644), 0); }},
      {"a link to a device", [&] { fs::remove_all(commentary); fs::create_symlink("/dev/urandom", commentary); }},
      {"a file over the size limit", [&] {
         fs::remove_all(commentary);
         fs::copy_file(fs::path(source_) / commentary, commentary);
         fs::resize_file(commentary, static_cast<uintmax_t>(kMaxReadFileBytes) + 1);
       }},
  };
  if (::geteuid() != 0)
    ways.push_back({"no read permission", [&] {
                      fs::remove_all(commentary);
                      fs::copy_file(fs::path(source_) / commentary, commentary);
                      fs::permissions(commentary, fs::perms::none);
                    }});
  else
    std::printf("[ root: permissions do not stop root; the directory and the I/O error stand for them ]\n");
  Create();
  for (const Way& way : ways) {
    way.make();
    test::FifoGuard guard(commentary);
    const auto start = std::chrono::steady_clock::now();
    test::MessageBoxRecorder boxes;
    bool opened = InModal([](TForm*) {}, [&] { Input::ClickOn(C("ii1"), 10, 10); });
    EXPECT_FALSE(opened) << way.what;
    ASSERT_EQ(boxes.boxes.size(), 1u) << way.what;
    EXPECT_EQ(boxes.boxes[0].text, "Cannot open file dat\\111111.rtf.") << way.what;
    EXPECT_FALSE(guard.Fired()) << way.what << ": the reading blocked";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << way.what;
  }

  // A note body that cannot be read keeps the editor closed, so a cut-off body can never be
  // saved back over the document; the other bodies are left exactly as they were.
  WriteNotes();
  std::vector<std::string> before = NoteBytes();
  fs::rename(kNotes[1], "dat/a2.keep");
  fs::create_symlink("/proc/self/mem", kNotes[1]);
  test::MessageBoxRecorder boxes;
  bool opened = InModal([](TForm*) {}, [&] { Input::ClickOn(C("Label3"), 2, 2); });
  EXPECT_FALSE(opened);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Cannot open file dat\\a2.rtf.");
  EXPECT_EQ(Slurp(kNotes[0]), before[0]);
  EXPECT_EQ(Slurp(kNotes[2]), before[2]);
  EXPECT_TRUE(fs::is_symlink(kNotes[1]));
  EXPECT_EQ(Slurp("dat/a2.keep"), before[1]);
}

TEST_F(FaultMatrix, ABinaryGarbageDocumentIsShownAsTextWithoutAnError) {
  CopyDocuments();
  std::mt19937 random(1234);
  std::string garbage;
  for (int i = 0; i < 6000; ++i) garbage += static_cast<char>(random() & 0xFF);
  garbage[100] = '\0';
  std::string rtfGarbage = "{\\rtf1\\ansi\\ansicpg936 " + garbage.substr(0, 3000) + "\\'' \\u-99999999999 {{{{\\bin999999999 ";
  Create();
  for (const std::string& bytes : {garbage, rtfGarbage, std::string("\xFF\xFE"), std::string()}) {
    WriteFileAtomically("dat/111111.rtf", bytes);
    test::MessageBoxRecorder boxes;
    std::string shown;
    bool opened = InModal([&](TForm* f) { shown = Find<TRichEdit>(f, "richedit1")->PlainText(); },
                          [&] { Input::ClickOn(C("ii1"), 10, 10); });
    EXPECT_TRUE(opened) << bytes.size() << " bytes";
    EXPECT_TRUE(boxes.boxes.empty()) << bytes.size() << " bytes";
    if (bytes.size() > 100) EXPECT_FALSE(shown.empty()) << "the garbage is shown as text";
    EXPECT_EQ(Slurp("dat/111111.rtf"), bytes) << "a document is only read";
  }
}

// ---- Saving the notes ------------------------------------------------------------------------

namespace {

// What the notes editor showed after a close that failed.
struct EditorRun {
  bool stillOpenAfterFailedClose = false;
  std::string bodyAfterFailedClose;
};

}  // namespace

TEST_F(FaultMatrix, DatReadOnlyWhileTheEditorIsOpenKeepsTheEditorAndEveryDocument) {
  mount_ = std::make_unique<Tmpfs>(work_ / "dat", "64k");
  WriteNotes();
  const std::vector<std::string> before = NoteBytes();
  Create();
  std::function<void()> makeReadOnly, undo;
  if (mount_->Mounted()) {
    makeReadOnly = [&] { ASSERT_TRUE(mount_->RemountReadOnly()); };
    undo = [&] { ASSERT_TRUE(mount_->RemountWritable()); };
  } else if (::geteuid() != 0) {
    makeReadOnly = [&] { fs::permissions(work_ / "dat", fs::perms::owner_read | fs::perms::owner_exec); };
    undo = [&] { fs::permissions(work_ / "dat", fs::perms::owner_all); };
  } else {
    std::printf("[ root without mount rights: the read-only folder is an injected write failure ]\n");
    makeReadOnly = [] { gBeforeAtomicRename = [](const std::string&) { return false; }; };
    undo = [] { gBeforeAtomicRename = nullptr; };
  }

  test::MessageBoxRecorder boxes;
  EditorRun run;
  bool opened = InModalSteps(
      {[&](TForm* f) {
         Find<TControl>(f, "edit1")->SetText("新的标题");
         Find<TRichEdit>(f, "richedit1")->SetText("新写的内容 that must not be lost");
         makeReadOnly();
         f->Close();  // fails: the editor stays up with its content
       },
       [&](TForm* f) {
         run.stillOpenAfterFailedClose = f->IsModal() && f->Visible();
         run.bodyAfterFailedClose = Find<TRichEdit>(f, "richedit1")->PlainText();
         EXPECT_EQ(NoteBytes(), before) << "no document was touched";
         undo();
         f->Close();  // the user closes again once the cause is gone
       }},
      [&] { Input::ClickOn(C("Label3"), 2, 2); });
  ASSERT_TRUE(opened);
  ASSERT_GE(boxes.boxes.size(), 1u);
  // The error first, then the choice to leave without saving.
  EXPECT_EQ(boxes.boxes[0].text.rfind("Cannot create file dat\\a1.rtf." + std::string("\n\n"), 0), 0u) << boxes.boxes[0].text;
  EXPECT_EQ(boxes.boxes.size(), 1u) << "the documents after the failed one are not tried";
  EXPECT_TRUE(run.stillOpenAfterFailedClose);
  EXPECT_NE(run.bodyAfterFailedClose.find("新写的内容"), std::string::npos);
  EXPECT_EQ(C("Label3")->Caption(), "新的标题") << "the labels already show the new titles";
  // The second close (once the folder is writable again) saved everything.
  EXPECT_NE(PlainText(LoadRichTextFile(kNotes[0])).find("新写的内容 that must not be lost"), std::string::npos);
  EXPECT_EQ(PlainText(LoadRichTextFile(kNotes[1])), PlainText(ReadRtf(before[1])));
  for (const auto& e : fs::directory_iterator(work_ / "dat"))
    EXPECT_EQ(e.path().filename().string().rfind(".a", 0), std::string::npos) << "no temporary file is left: " << e.path();
}

TEST_F(FaultMatrix, DiskFullWhileSavingANoteKeepsTheOldDocumentWhole) {
  mount_ = std::make_unique<Tmpfs>(work_ / "dat", "1m");
  WriteNotes();
  const std::vector<std::string> before = NoteBytes();
  std::function<void()> fill, undo;
  if (mount_->Mounted()) {
    // Fill the tmpfs to the last byte.
    fill = [&] {
      int fd = ::open((work_ / "dat" / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ASSERT_GE(fd, 0);
      std::string block(4096, 'x');
      while (::write(fd, block.data(), block.size()) > 0) {}
      while (::write(fd, block.data(), 1) > 0) {}
      ::close(fd);
    };
    undo = [&] { fs::remove(work_ / "dat" / "filler"); };
  } else {
    std::printf("[ no mount rights: the full disk is an injected write failure ]\n");
    fill = [] { gBeforeAtomicRename = [](const std::string&) { return false; }; };
    undo = [] { gBeforeAtomicRename = nullptr; };
  }
  Create();
  // A body of a few hundred kilobytes: it fits once the filler is gone.
  std::string big;
  for (int i = 0; i < 3000; ++i) big += "第" + std::to_string(i) + "行 a long note line\n";
  test::MessageBoxRecorder boxes;
  bool stillOpen = false;
  bool opened = InModalSteps(
      {[&](TForm* f) {
         Find<TRichEdit>(f, "richedit1")->SetText(big);
         fill();
         f->Close();
       },
       [&](TForm* f) {
         stillOpen = f->IsModal() && f->Visible();
         EXPECT_EQ(NoteBytes(), before) << "every document keeps its old content whole";
         undo();
         f->Close();
       }},
      [&] { Input::ClickOn(C("Label3"), 2, 2); });
  ASSERT_TRUE(opened);
  ASSERT_GE(boxes.boxes.size(), 1u);
  // The error first, then the choice to leave without saving.
  EXPECT_EQ(boxes.boxes[0].text.rfind("Cannot create file dat\\a1.rtf." + std::string("\n\n"), 0), 0u) << boxes.boxes[0].text;
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(boxes.boxes.size(), 1u) << "the second close, with room again, saved";
  EXPECT_NE(PlainText(LoadRichTextFile(kNotes[0])).find("第2999行 a long note line"), std::string::npos);
  EXPECT_EQ(Slurp(kNotes[1]), before[1]);
  EXPECT_FALSE(fs::exists(work_ / "dat" / "filler"));
  for (const auto& e : fs::directory_iterator(work_ / "dat"))
    EXPECT_EQ(e.path().filename().string().rfind(".a", 0), std::string::npos) << "no temporary file is left: " << e.path();
}

TEST_F(FaultMatrix, KilledWhileSavingANoteLeavesTheOldOrTheNewDocumentWhole) {
  fs::create_directories("dat");
  auto documentOf = [](const std::string& tag, int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += tag + " 第" + std::to_string(i) + "行 of the note body\n";
    return RichDocumentFromText(text);
  };
  const RichDocument original = documentOf("old", 50);
  const RichDocument versions[2] = {documentOf("new-a", 3000), documentOf("new-b", 2000)};
  const std::string expected[3] = {WriteRtf(original), WriteRtf(versions[0]), WriteRtf(versions[1])};
  std::mt19937 random(77);
  int seen[3] = {0, 0, 0};
  for (int round = 0; round < 24; ++round) {
    SaveRichTextFile(kNotes[0], original);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // The helper: saves version after version through the program's own save, telling the
      // parent each time the new content is on disk and only the rename is left.
      ::close(ready[0]);
      const bool pause = round % 2 == 0;
      gBeforeAtomicRename = [&](const std::string&) {
        char c = 1;
        (void)!::write(ready[1], &c, 1);
        if (pause) ::usleep(500000);  // the parent kills it here
        return true;
      };
      for (int i = 0;; ++i) SaveRichTextFile(kNotes[0], versions[i % 2]);
    }
    ::close(ready[1]);
    if (round % 2 == 0) {
      // Kill it exactly between writing the temporary file and renaming it.
      char c;
      ASSERT_EQ(::read(ready[0], &c, 1), 1);
    } else {
      // Kill it anywhere after its first save has its content on disk: in the rename, while
      // writing or flushing a later version, or between two saves.
      char c;
      ASSERT_EQ(::read(ready[0], &c, 1), 1);
      std::this_thread::sleep_for(std::chrono::microseconds(random() % 50000));
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the helper was killed, not ended";
    const std::string now = Slurp(kNotes[0]);
    int which = -1;
    for (int k = 0; k < 3; ++k)
      if (now == expected[k]) which = k;
    ASSERT_NE(which, -1) << "round " << round << ": the document is neither the old nor a new one whole ("
                         << now.size() << " bytes)";
    ++seen[which];
    if (round % 2 == 0) EXPECT_EQ(which, 0) << "killed before its first rename: the old document";
  }
  EXPECT_GT(seen[1] + seen[2], 0) << "some kills came after a save had completed";
  std::printf("[ old %d, new-a %d, new-b %d ]\n", seen[0], seen[1], seen[2]);
}

// ---- The configuration file ------------------------------------------------------------------

TEST_F(FaultMatrix, AnUnwritableConfigurationFileKeepsTheMainWindowAndItsTitles) {
  // A directory where the file should be: renaming the new file over it fails, root or not.
  fs::create_directories(configPath_);
  test::MessageBoxRecorder boxes;
  Create();
  C("Label3")->SetCaption("第一");
  C("Label5")->SetCaption("第三");
  CloseMainWindow();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  // The error first, then the choice to leave without saving.
  EXPECT_EQ(boxes.boxes[0].text.rfind("Unable to write to " + configPath_ + "." + std::string("\n\n"), 0), 0u) << boxes.boxes[0].text;
  EXPECT_TRUE(form_->Visible()) << "the close is abandoned";
  EXPECT_EQ(C("Label3")->Caption(), "第一");
  EXPECT_EQ(C("Label5")->Caption(), "第三");
  fs::remove_all(configPath_);
  CloseMainWindow();
  EXPECT_EQ(boxes.boxes.size(), 1u);
  EXPECT_FALSE(form_->Visible());
  EXPECT_EQ(TIniFile(configPath_).ReadString("用户", "自定义1", ""), "第一");
  EXPECT_EQ(TIniFile(configPath_).ReadString("用户", "自定义3", ""), "第三");
}

TEST_F(FaultMatrix, AFifoConfigurationFileDoesNotStopTheProgramFromStarting) {
  ASSERT_EQ(::mkfifo(configPath_.c_str(), 0644), 0);
  test::FifoGuard guard(configPath_);
  test::MessageBoxRecorder boxes;
  Create();
  EXPECT_FALSE(guard.Fired()) << "reading the titles blocked on the FIFO";
  EXPECT_TRUE(form_->Visible());
  EXPECT_EQ(C("Label3")->Caption(), "") << "the titles read as missing";
  EXPECT_TRUE(boxes.boxes.empty());
  // It is not a file the titles can be written to: the close is refused as for any configuration
  // file that cannot be written, and the FIFO is left alone.
  C("Label3")->SetCaption("第一");
  CloseMainWindow();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  // The error first, then the choice to leave without saving.
  EXPECT_EQ(boxes.boxes[0].text.rfind("Unable to write to " + configPath_ + "." + std::string("\n\n"), 0), 0u) << boxes.boxes[0].text;
  EXPECT_TRUE(fs::is_fifo(configPath_));
  EXPECT_FALSE(guard.Fired());
  fs::remove(configPath_);
  CloseMainWindow();
  EXPECT_FALSE(form_->Visible());
  EXPECT_EQ(TIniFile(configPath_).ReadString("用户", "自定义1", ""), "第一");
}

// ---- Saving notes the user set up in their own way --------------------------------------------

TEST_F(FaultMatrix, AReadOnlyNoteIsAnErrorAndIsNotReplaced) {
  WriteNotes();
  const std::vector<std::string> before = NoteBytes();
  fs::permissions(kNotes[0], fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  Create();
  test::MessageBoxRecorder boxes;
  bool stillOpen = false;
  bool opened = InModalSteps(
      {[&](TForm* f) {
         Find<TRichEdit>(f, "richedit1")->SetText("新写的内容");
         f->Close();  // fails: the note is read-only
       },
       [&](TForm* f) {
         stillOpen = f->IsModal() && f->Visible();
         EXPECT_EQ(NoteBytes(), before) << "no document was touched";
         fs::permissions(kNotes[0], fs::perms::owner_write, fs::perm_options::add);
         f->Close();
       }},
      [&] { Input::ClickOn(C("Label3"), 2, 2); });
  ASSERT_TRUE(opened);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  // The error first, then the choice to leave without saving.
  EXPECT_EQ(boxes.boxes[0].text.rfind("Cannot create file dat\\a1.rtf." + std::string("\n\n"), 0), 0u) << boxes.boxes[0].text;
  EXPECT_TRUE(stillOpen) << "the editor stays open with what was typed";
  EXPECT_NE(PlainText(LoadRichTextFile(kNotes[0])).find("新写的内容"), std::string::npos);
  EXPECT_EQ(fs::status(kNotes[0]).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read)
      << "the mode the user gave it is kept";
}

TEST_F(FaultMatrix, LinkedNotesStayLinkedAndLeftoverTemporaryFilesGo) {
  WriteNotes();
  // Note 1 lives elsewhere behind a symbolic link; note 2 has a second name (a hard link); note 3
  // belongs to another owner with a mode of its own.
  fs::create_directories(work_ / "notes");
  fs::rename(kNotes[0], work_ / "notes" / "first.rtf");
  fs::create_symlink("../notes/first.rtf", kNotes[0]);
  fs::create_hard_link(kNotes[1], work_ / "notes" / "second.rtf");
  ASSERT_EQ(::chmod(kNotes[2], 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) ASSERT_EQ(::chown(kNotes[2], 4321, 8765), 0);
  // What kills during earlier saves left behind, beside each note's real file.
  const fs::path leftovers[] = {work_ / "notes" / ".first.rtf.Xk29aQ", work_ / "dat" / ".a2.rtf.000abc",
                                work_ / "dat" / ".a3.rtf.ZZZZZZ"};
  for (const fs::path& p : leftovers) WriteFileAtomically(p.string(), "a half-written note");
  Create();
  std::vector<bool> goneWhenOpen;
  // Each note opened in turn and written by the user.
  const char* const editors[] = {"richedit1", "RichEdit2", "RichEdit3"};
  for (int i = 0; i < 3; ++i) {
    bool opened = InModal(
        [&](TForm* f) {
          if (i == 0)
            for (const fs::path& p : leftovers) goneWhenOpen.push_back(!fs::exists(p));
          Find<TRichEdit>(f, editors[i])->SetText(std::string("新的 ") + editors[i]);
        },
        [&] { Input::ClickOn(C("Label" + std::to_string(i + 3)), 2, 2); });
    ASSERT_TRUE(opened);
  }
  EXPECT_EQ(goneWhenOpen, std::vector<bool>(3, true)) << "leftover temporary files are removed when the editor opens";
  EXPECT_TRUE(fs::is_symlink(kNotes[0])) << "the link stays a link";
  EXPECT_NE(PlainText(LoadRichTextFile((work_ / "notes" / "first.rtf").string())).find("新的 richedit1"), std::string::npos);
  EXPECT_EQ(fs::hard_link_count(kNotes[1]), 2u);
  EXPECT_NE(PlainText(LoadRichTextFile((work_ / "notes" / "second.rtf").string())).find("新的 RichEdit2"), std::string::npos)
      << "the other name sees the new content";
  struct stat st {};
  ASSERT_EQ(::stat(kNotes[2], &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 8765u);
  } else {
    std::printf("[ not root: a file cannot be given away, so only its mode is checked ]\n");
  }
  for (const fs::path& folder : {work_ / "dat", work_ / "notes"})
    for (const auto& e : fs::directory_iterator(folder))
      EXPECT_NE(e.path().filename().string().front(), '.') << "no temporary file is left: " << e.path();
}

// ---- The about window's stored skin ----------------------------------------------------------

namespace {

// The about window's layout with another stored skin in place of the built-in one.
class ReplacedStoredSkin {
 public:
  explicit ReplacedStoredSkin(const std::string& compressed) : original_(LayoutText("AboutWindow.lfm")) {
    const size_t open = original_.find("CompressedData = {");
    const size_t close = original_.find('}', open);
    std::string hex;
    static const char* digits = "0123456789ABCDEF";
    for (unsigned char c : compressed) {
      hex += digits[c >> 4];
      hex += digits[c & 15];
    }
    std::string text = original_.substr(0, open) + "CompressedData = {" + hex + original_.substr(close);
    RegisterLayoutText("AboutWindow.lfm", text);
  }
  ~ReplacedStoredSkin() { RegisterLayoutText("AboutWindow.lfm", original_); }
  static std::string Compressed(const TskSkinPackage& package) {
    TMemoryStream raw, packed;
    WriteSkinPackage(raw, package);
    CompressStream(raw, packed);
    return packed.Bytes();
  }
 private:
  std::string original_;
};

}  // namespace

TEST_F(FaultMatrix, ACorruptStoredSkinStillOpensTheAboutWindowWithAnEmptySkin) {
  std::string good;
  {
    TForm5 about(Application);
    good = Find<TskCompressedStoredSkin>(&about, "skCompressedStoredSkin1")->CompressedData().Bytes();
  }
  ASSERT_GT(good.size(), 100u);
  TskSkinPackage badRect;
  badRect.Description = {"[VERSION]", "[PICTURES]", "[FORMINFO]", "clientrect=1,2,3", "[SKINOBJECTS]", "[SKINCONTROLS]"};
  std::string corrupt = good;
  for (size_t i = 40; i < 200; ++i) corrupt[i] = static_cast<char>(corrupt[i] ^ 0x5A);
  std::string truncatedPicture;
  {
    TMemoryStream raw;
    TskCompressedStoredSkin s(nullptr);
    s.ReadCompressedData(good);
    s.UnpackTo(raw);
    std::string cut = raw.Bytes().substr(0, 3000);  // ends inside the main picture
    TMemoryStream in(cut), packed;
    CompressStream(in, packed);
    truncatedPicture = packed.Bytes();
  }
  struct Case { const char* what; std::string bytes; };
  const Case cases[] = {{"damaged compressed data", corrupt},
                        {"a picture cut short", truncatedPicture},
                        {"a malformed rectangle", ReplacedStoredSkin::Compressed(badRect)}};
  Create();
  for (const Case& c : cases) {
    ReplacedStoredSkin replaced(c.bytes);
    test::MessageBoxRecorder boxes;
    bool emptySkin = false, hasOk = false;
    bool opened = InModal(
        [&](TForm* f) {
          emptySkin = Find<TskSkinData>(f, "skSkinData1")->IsEmpty;
          hasOk = f->FindComponent("thButton3") != nullptr;
        },
        [&] { Input::ClickOn(C("Label6"), 2, 2); });
    EXPECT_TRUE(opened) << c.what;
    EXPECT_TRUE(boxes.boxes.empty()) << c.what << ": no error box stops the window";
    EXPECT_TRUE(emptySkin) << c.what;
    EXPECT_TRUE(hasOk) << c.what << ": the rest of the layout was read";
  }
  // And with the built-in skin again, the skin loads.
  bool loaded = false;
  InModal([&](TForm* f) { loaded = !Find<TskSkinData>(f, "skSkinData1")->IsEmpty; }, [&] { Input::ClickOn(C("Label6"), 2, 2); });
  EXPECT_TRUE(loaded);
}
