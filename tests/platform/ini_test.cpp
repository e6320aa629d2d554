// Configuration files: GBK text, names matched without regard to case, the value length limit,
// writes that keep everything else and failures that leave the file alone.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/core/Encoding.h"
#include "platform/core/IniFiles.h"

using namespace corvane;

namespace {

class IniFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("corvane_ini_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "corvane.ini").string();
  }
  void TearDown() override {
    gBeforeAtomicRename = nullptr;
    std::filesystem::remove_all(dir_);
  }
  void Put(const std::string& bytes) { WriteFileAtomically(path_, bytes); }
  std::string Bytes() const { return ReadFileBytes(path_); }

  std::filesystem::path dir_;
  std::string path_;
};

// GBK bytes of the names the program uses: 用户 and 自定义1.
const std::string kUserGbk = "\xD3\xC3\xBB\xA7";
const std::string kCustom1Gbk = "\xD7\xD4\xB6\xA8\xD2\xE5" "1";

}  // namespace

// --- reading -------------------------------------------------------------------------------------

TEST_F(IniFile, MissingFileSectionOrKeyReadsAsTheDefault) {
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("用户", "自定义1", ""), "");
  EXPECT_EQ(ini.ReadString("用户", "自定义1", "fallback"), "fallback");
  Put("[other]\r\nkey=1\r\n");
  EXPECT_EQ(ini.ReadString("用户", "key", "d"), "d");
  EXPECT_EQ(ini.ReadString("other", "missing", "d"), "d");
  EXPECT_EQ(ini.ReadString("other", "key", "d"), "1");
}

TEST_F(IniFile, ReadsGbkTextAsUtf8) {
  Put("[" + kUserGbk + "]\r\n" + kCustom1Gbk + "=\xC7\xAC\r\n");  // 乾
  EXPECT_EQ(TIniFile(path_).ReadString("用户", "自定义1", ""), "乾");
}

TEST_F(IniFile, SectionAndKeyMatchWithoutRegardToCaseAndSurroundingBlanks) {
  Put("[Users]\r\n  Title Key = first value \r\n");
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("USERS", "title key", ""), "first value");
  EXPECT_EQ(ini.ReadString("users", "TITLE KEY", ""), "first value");
}

TEST_F(IniFile, CaseFoldingNeverTouchesTheSecondByteOfAChineseCharacter) {
  // 0x81 0x41 and 0x81 0x61 are two different characters whose second bytes are "A" and "a".
  const std::string upper = "\x81\x41", lower = "\x81\x61";
  Put("[" + upper + "]\r\nk=upper\r\n[" + lower + "]\r\nk=lower\r\n");
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString(GbkToUtf8(upper), "k", ""), "upper");
  EXPECT_EQ(ini.ReadString(GbkToUtf8(lower), "k", ""), "lower");
}

TEST_F(IniFile, ABracketInsideAChineseCharacterDoesNotEndTheSectionName) {
  const std::string name = "\x81\x5D\x81\x5D";  // second bytes are "]"
  Put("[" + name + "]\r\nk=v\r\n");
  EXPECT_EQ(TIniFile(path_).ReadString(GbkToUtf8(name), "k", ""), "v");
}

TEST_F(IniFile, FirstMatchingSectionAndKeyWin) {
  Put("[s]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n");
  EXPECT_EQ(TIniFile(path_).ReadString("s", "k", ""), "1");
}

TEST_F(IniFile, CommentsAndLinesWithoutEqualsSignAreNotKeys) {
  Put("[s]\n;k=commented\nk\nk=real\n");
  EXPECT_EQ(TIniFile(path_).ReadString("s", "k", ""), "real");
}

// --- the value length limit ----------------------------------------------------------------------

TEST_F(IniFile, ValuesUpToTheLimitComeBackWhole) {
  std::string value(TIniFile::kMaxValueBytes, 'x');
  Put("[s]\r\nk=" + value + "\r\n");
  EXPECT_EQ(TIniFile(path_).ReadString("s", "k", ""), value);
}

TEST_F(IniFile, LongerValuesAreCutToTheLimit) {
  Put("[s]\r\nk=" + std::string(5000, 'y') + "\r\n");
  EXPECT_EQ(TIniFile(path_).ReadString("s", "k", ""), std::string(2047, 'y'));
}

TEST_F(IniFile, TheCutNeverSplitsAChineseCharacter) {
  // 2,046 ASCII bytes and then 乾 (two bytes): the character would end at byte 2,048.
  std::string ascii(2046, 'a');
  Put("[s]\r\nk=" + ascii + "\xC7\xAC" + "tail\r\n");
  std::string got = TIniFile(path_).ReadString("s", "k", "");
  EXPECT_EQ(got, ascii);
  EXPECT_TRUE(IsValidUtf8(got));
  // One ASCII byte fewer and the character fits exactly.
  Put("[s]\r\nk=" + std::string(2045, 'a') + "\xC7\xAC" + "tail\r\n");
  EXPECT_EQ(TIniFile(path_).ReadString("s", "k", ""), std::string(2045, 'a') + "乾");
}

TEST_F(IniFile, AWrittenValueLongerThanTheLimitIsStoredWholeAndReadBackCut) {
  TIniFile ini(path_);
  std::string title;
  for (int i = 0; i < 1100; ++i) title += "坤";  // 2,200 bytes in GBK
  ini.WriteString("用户", "自定义1", title);
  EXPECT_NE(Bytes().find(Utf8ToGbk(title)), std::string::npos);
  std::string got = ini.ReadString("用户", "自定义1", "");
  std::string expected;
  for (int i = 0; i < 1023; ++i) expected += "坤";  // 2,046 bytes: the 1,024th would end at 2,048
  EXPECT_EQ(got, expected);
}

// --- writing -------------------------------------------------------------------------------------

TEST_F(IniFile, WritingCreatesTheFileInGbkWithTheSectionAndKey) {
  TIniFile ini(path_);
  ini.WriteString("用户", "自定义1", "乾");
  EXPECT_EQ(Bytes(), "[" + kUserGbk + "]\r\n" + kCustom1Gbk + "=\xC7\xAC\r\n");
}

TEST_F(IniFile, ChineseTitlesRoundTrip) {
  TIniFile ini(path_);
  const std::vector<std::string> titles = {"乾为天", "坤为地 水雷屯", "读书笔记（一）"};
  for (size_t i = 0; i < titles.size(); ++i) ini.WriteString("用户", "自定义" + std::to_string(i + 1), titles[i]);
  TIniFile again(path_);
  for (size_t i = 0; i < titles.size(); ++i)
    EXPECT_EQ(again.ReadString("用户", "自定义" + std::to_string(i + 1), "?"), titles[i]);
}

TEST_F(IniFile, ReplacingAValueKeepsEveryOtherLineByteForByte) {
  const std::string before = "; kept comment\r\n[other]\r\nx=1\r\nstray line\r\n\r\n[" + kUserGbk + "]\r\n" +
                             kCustom1Gbk + "=old\r\nnot a key\r\n\r\n[last]\r\ny = 2 \r\n";
  Put(before);
  TIniFile(path_).WriteString("用户", "自定义1", "new");
  std::string expected = before;
  expected.replace(expected.find("=old"), 4, "=new");
  EXPECT_EQ(Bytes(), expected);
}

TEST_F(IniFile, ANewKeyGoesAtTheEndOfItsSectionBeforeTheBlankLines) {
  Put("[a]\r\nk=1\r\n\r\n[b]\r\nk=2\r\n");
  TIniFile(path_).WriteString("A", "new", "3");
  EXPECT_EQ(Bytes(), "[a]\r\nk=1\r\nnew=3\r\n\r\n[b]\r\nk=2\r\n");
}

TEST_F(IniFile, ANewSectionIsAppendedAfterABlankLine) {
  Put("[a]\nk=1");  // LF line ends and no final line end
  TIniFile(path_).WriteString("b", "k", "2");
  EXPECT_EQ(Bytes(), "[a]\nk=1\n\n[b]\nk=2\n");
}

TEST_F(IniFile, StrayCarriageReturnsAreNotPartOfAValueBeforeOrAfterAWrite) {
  Put("[s]\nb=value\r\r");  // LF file whose last line ends in two carriage returns
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("s", "b", ""), "value");
  ini.WriteString("s", "a", "1");
  EXPECT_EQ(ini.ReadString("s", "b", ""), "value");
  EXPECT_EQ(ini.ReadString("s", "a", ""), "1");
}

TEST_F(IniFile, WritingMatchesExistingNamesWithoutRegardToCase) {
  Put("[Users]\r\nTitle=old\r\n");
  TIniFile ini(path_);
  ini.WriteString("USERS", "title", "new");
  EXPECT_EQ(Bytes(), "[Users]\r\ntitle=new\r\n");
  EXPECT_EQ(ini.ReadString("users", "TITLE", ""), "new");
}

TEST_F(IniFile, EveryWriteReachesTheFileAtOnce) {
  TIniFile ini(path_);
  ini.WriteString("s", "a", "1");
  EXPECT_EQ(TIniFile(path_).ReadString("s", "a", ""), "1");
  ini.WriteString("s", "b", "2");
  EXPECT_EQ(TIniFile(path_).ReadString("s", "b", ""), "2");
}

// --- failures ------------------------------------------------------------------------------------

TEST_F(IniFile, AFailedWriteRaisesWithTheFullPathAndKeepsTheOldFile) {
  const std::string before = "[s]\r\nk=old\r\n";
  Put(before);
  gBeforeAtomicRename = [](const std::string&) { return false; };
  try {
    TIniFile(path_).WriteString("s", "k", "new");
    FAIL() << "the write should have failed";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path_);
  }
  gBeforeAtomicRename = nullptr;
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1) << "no temporary file left behind";
}

TEST_F(IniFile, AMissingDirectoryIsAFailedWrite) {
  TIniFile ini((dir_ / "no such dir" / "corvane.ini").string());
  EXPECT_THROW(ini.WriteString("s", "k", "v"), EIniFileException);
}

TEST_F(IniFile, ValuesAndNamesTheFormatCannotHoldAreRefusedAndTheFileIsUntouched) {
  const std::string before = "[s]\r\nk=old\r\n";
  Put(before);
  TIniFile ini(path_);
  EXPECT_THROW(ini.WriteString("s", "k", "two\r\nlines"), EIniFileException);
  EXPECT_THROW(ini.WriteString("s", "k", "line\n[evil]"), EIniFileException);
  EXPECT_THROW(ini.WriteString("s", "k=x", "v"), EIniFileException);
  EXPECT_THROW(ini.WriteString("s]x", "k", "v"), EIniFileException);
  EXPECT_THROW(ini.WriteString("s", " ", "v"), EIniFileException);
  EXPECT_EQ(Bytes(), before);
}

TEST_F(IniFile, AnExistingFileThatCannotBeReadIsNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not apply to the superuser";
  Put("[s]\r\nk=old\r\nother=keep\r\n");
  std::filesystem::permissions(path_, std::filesystem::perms::none);
  EXPECT_THROW(TIniFile(path_).WriteString("s", "k", "new"), EIniFileException);
  std::filesystem::permissions(path_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(Bytes(), "[s]\r\nk=old\r\nother=keep\r\n");
}

// --- line ends and encodings ---------------------------------------------------------------------

TEST_F(IniFile, CarriageReturnOnlyLineEndsReadAndAreKept) {
  Put("[s]\rk=one\rother=two\r");
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("s", "k", ""), "one");
  EXPECT_EQ(ini.ReadString("s", "other", ""), "two");
  ini.WriteString("s", "k", "changed");
  ini.WriteString("s", "new", "3");
  EXPECT_EQ(Bytes(), "[s]\rk=changed\rother=two\rnew=3\r");
}

TEST_F(IniFile, EveryLineKeepsItsOwnLineEnd) {
  Put("[s]\r\nk=1\na=2\rb=3");  // mixed ends, the last line without one
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("s", "a", ""), "2");
  EXPECT_EQ(ini.ReadString("s", "b", ""), "3");
  ini.WriteString("s", "k", "9");
  EXPECT_EQ(Bytes(), "[s]\r\nk=9\na=2\rb=3\r\n") << "new line ends are the file's first one";
}

TEST_F(IniFile, BytesThatAreNotGbkAreKeptWhenTheValueIsWrittenBackUnchanged) {
  // 0x80 and 0xFF are no GBK characters; 0x81 0x20 is a lead byte without a trail byte.
  const std::string odd = "\x80\xFF" "abc\x81 z";
  Put("[s]\r\nk=" + odd + "\r\nj=other\r\n");
  TIniFile ini(path_);
  const std::string read = ini.ReadString("s", "k", "");
  EXPECT_NE(read.find("abc"), std::string::npos);
  ini.WriteString("s", "k", read);    // the title as shown, written back
  ini.WriteString("s", "j", "new");  // another title changed
  EXPECT_EQ(Bytes(), "[s]\r\nk=" + odd + "\r\nj=new\r\n");
  ini.WriteString("s", "k", "乾");  // a real change replaces it
  EXPECT_EQ(Bytes(), "[s]\r\nk=\xC7\xAC\r\nj=new\r\n");
}

namespace {
std::string Utf16(const std::u16string& text, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t u : text) {
    char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}
}  // namespace

TEST_F(IniFile, AUtf16FileReadsAndGoesBackAsGbkWhenEveryTitleFits) {
  for (bool bigEndian : {false, true}) {
    Put(Utf16(u"[用户]\r\n自定义1=乾为天\r\n自定义2=坤\r\n", bigEndian));
    TIniFile ini(path_);
    EXPECT_EQ(ini.ReadString("用户", "自定义1", ""), "乾为天") << bigEndian;
    EXPECT_EQ(ini.ReadString("用户", "自定义2", ""), "坤") << bigEndian;
    ini.WriteString("用户", "自定义3", "新");
    EXPECT_EQ(Bytes(), "[" + kUserGbk + "]\r\n" + kCustom1Gbk + "=" + Utf8ToGbk("乾为天") + "\r\n" +
                           Utf8ToGbk("自定义2=坤") + "\r\n" + Utf8ToGbk("自定义3=新") + "\r\n")
        << bigEndian;
    EXPECT_EQ(ini.ReadString("用户", "自定义1", ""), "乾为天");
  }
}

TEST_F(IniFile, AUnicodeFileWithATitleGbkLacksKeepsItsEncoding) {
  // 한 (Korean) and 😀 (outside the basic plane) have no GBK form.
  Put(Utf16(u"[用户]\r\n自定义1=한글\r\n自定义2=\U0001F600\r\n", false));
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("用户", "自定义1", ""), "한글");
  EXPECT_EQ(ini.ReadString("用户", "自定义2", ""), "😀");
  ini.WriteString("用户", "自定义3", "乾");
  EXPECT_EQ(Bytes(), Utf16(u"[用户]\r\n自定义1=한글\r\n自定义2=\U0001F600\r\n自定义3=乾\r\n", false));
  // UTF-8 with its mark the same way.
  Put("\xEF\xBB\xBF[用户]\n自定义1=한글\n");
  EXPECT_EQ(ini.ReadString("用户", "自定义1", ""), "한글");
  ini.WriteString("用户", "自定义2", "坤");
  EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[用户]\n自定义1=한글\n自定义2=坤\n");
  // Once the last such title is gone, the file becomes GBK.
  ini.WriteString("用户", "自定义1", "乾");
  EXPECT_EQ(Bytes(), "[" + kUserGbk + "]\n" + kCustom1Gbk + "=\xC7\xAC\n" + Utf8ToGbk("自定义2=坤") + "\n");
}
