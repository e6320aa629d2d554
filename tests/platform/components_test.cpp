// Component ownership, free notification, streams, encodings and file replacement.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/core/Classes.h"
#include "platform/core/Encoding.h"

using namespace corvane;

namespace {
class Probe : public TComponent {
 public:
  Probe(TComponent* owner, std::vector<std::string>* log) : TComponent(owner), log_(log) {}
  ~Probe() override { log_->push_back("destroy " + Name()); }
  TComponent* ref = nullptr;
 protected:
  void Notification(TComponent* c, TOperation op) override {
    if (op == TOperation::opRemove && c == ref) {
      ref = nullptr;
      log_->push_back(Name() + " cleared " + c->Name());
    }
  }
 private:
  std::vector<std::string>* log_;
};
}  // namespace

TEST(Components, OwnerDestroysOwnedInReverseOrderAndReferencesAreCleared) {
  std::vector<std::string> log;
  auto* owner = new Probe(nullptr, &log);
  owner->SetName("owner");
  auto* a = new Probe(owner, &log);
  a->SetName("a");
  auto* b = new Probe(owner, &log);
  b->SetName("b");
  Probe outsider(nullptr, &log);
  outsider.SetName("outsider");
  outsider.ref = a;
  outsider.FreeNotification(a);
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->FindComponent("B"), b);  // names match without regard to case
  delete owner;
  EXPECT_EQ(outsider.ref, nullptr);
  ASSERT_GE(log.size(), 4u);
  // The owner's own destructor runs first, then the owned components go, last created first;
  // each tells its listeners once its own destructor has run.
  EXPECT_EQ(log[0], "destroy owner");
  EXPECT_EQ(log[1], "destroy b");
  EXPECT_EQ(log[2], "destroy a");
  EXPECT_EQ(log[3], "outsider cleared a");
}

TEST(Components, SiblingsHearOfARemovedComponent) {
  std::vector<std::string> log;
  Probe owner(nullptr, &log);
  auto* a = new Probe(&owner, &log);
  a->SetName("a");
  auto* b = new Probe(&owner, &log);
  b->SetName("b");
  b->ref = a;
  delete a;
  EXPECT_EQ(b->ref, nullptr);
  EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(Conversions, IntegersAndTheirErrorText) {
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt("$FF"), 255);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  try {
    StrToInt("12a");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
  }
  int v;
  EXPECT_FALSE(TryStrToInt("", v));
  EXPECT_FALSE(TryStrToInt("99999999999", v));
}

TEST(Encoding, GbkRoundTripsChineseAndMarksWhatGbkCannotHold) {
  std::string text = "乾为天 1.5 请从下爻到上爻依次输入六位数字——1、2（1为阳，2为阴）！";
  std::string gbk = Utf8ToGbk(text);
  EXPECT_EQ(gbk.substr(0, 2), "\xC7\xAC");  // 乾
  EXPECT_EQ(GbkToUtf8(gbk), text);
  EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");
  EXPECT_TRUE(IsGbkEncodable(U'宋'));
  EXPECT_FALSE(IsGbkEncodable(U'😀'));
  // A lone lead byte at the end becomes the replacement character, not a crash.
  EXPECT_EQ(GbkToUtf8("A\xC7"), "A\xEF\xBF\xBD");
  EXPECT_TRUE(IsValidUtf8("乾"));
  EXPECT_FALSE(IsValidUtf8("\xCB\xCE\xCC\xE5"));  // GBK bytes
}

// Where the layout may break a line (its own rules: after blanks, between CJK characters, after a
// slash or a hyphen before a letter, never before one); in markup, block tags too, while inline
// tags join the text around them, and an entity is one character.
TEST(Encoding, LongestUnbrokenStretch) {
  EXPECT_EQ(LongestUnbrokenStretch(""), 0u);
  EXPECT_EQ(LongestUnbrokenStretch("ab cde\tfg"), 3u);
  EXPECT_EQ(LongestUnbrokenStretch("abc乾为天abcd"), 4u);
  EXPECT_EQ(LongestUnbrokenStretch("http://a.example/bcdef-gh"), 10u);  // "a.example/"
  EXPECT_EQ(LongestUnbrokenStretch("éé\u2028ééé"), 3u);
  EXPECT_EQ(LongestUnbrokenStretch(std::string(5000, 'x') + " y"), 5000u);
  EXPECT_EQ(LongestUnbrokenStretch("ab<span class=\"longlonglong\">cd</span>e", true), 5u);  // "abcde"
  EXPECT_EQ(LongestUnbrokenStretch("ab<p>cd</p>e", true), 2u);
  EXPECT_EQ(LongestUnbrokenStretch("a&amp;b&#x4E7E;c d", true), 5u);
  EXPECT_EQ(LongestUnbrokenStretch("a&bogus d", true), 7u);  // no entity: "&" is a character
  EXPECT_EQ(LongestUnbrokenStretch("ab<i>cd</i>e"), 9u);  // as text: "ab<i>cd</"
}

TEST(Streams, MemoryStreamReadsWritesAndSeeks) {
  TMemoryStream m;
  m.WriteString("hello");
  m.SetPosition(1);
  char buf[3];
  m.ReadBuffer(buf, 3);
  EXPECT_EQ(std::string(buf, 3), "ell");
  EXPECT_THROW(m.ReadBuffer(buf, 3), EReadError);
  m.SetSize(2);
  EXPECT_EQ(m.Bytes(), "he");
}

TEST(Files, ErrorsNameThePathAsGivenAndReplacementIsAtomic) {
  auto dir = std::filesystem::temp_directory_path() / ("corvane-files-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir / "dat");
  std::filesystem::current_path(dir);
  try {
    ReadFileBytes("dat\\missing.rtf");
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file dat\\missing.rtf");
  }
  WriteFileAtomically("dat\\a1.rtf", "old");
  EXPECT_EQ(ReadFileBytes("dat/a1.rtf"), "old");
  // A failure just before the rename leaves the old content whole and no temporary behind.
  gBeforeAtomicRename = [](const std::string&) { return false; };
  EXPECT_THROW(WriteFileAtomically("dat\\a1.rtf", "new content"), EFCreateError);
  gBeforeAtomicRename = nullptr;
  EXPECT_EQ(ReadFileBytes("dat/a1.rtf"), "old");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir / "dat")) { (void)e; ++files; }
  EXPECT_EQ(files, 1);
  if (getuid() != 0) {
    chmod((dir / "dat").c_str(), 0555);
    try {
      WriteFileAtomically("dat\\a1.rtf", "x");
      FAIL();
    } catch (const EFCreateError& e) {
      EXPECT_STREQ(e.what(), "Cannot create file dat\\a1.rtf");
    }
    chmod((dir / "dat").c_str(), 0755);
  }
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  std::filesystem::remove_all(dir);
}
