// Theme files: the binary layout reader, the file-theme component and style resolution.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "controls/Button.h"
#include "controls/Edit.h"
#include "controls/FileTheme.h"
#include "controls/Theme.h"
#include "controls/ControlsTestUtil.h"

namespace corvane {
namespace {

// Builds theme files: a 24-byte header, then the data blocks, then the record chain.
class ThemeFileBuilder {
 public:
  void Add(const std::string& key, uint8_t kind, const std::string& data) { entries_.push_back({key, kind, data}); }
  void AddInt(const std::string& key, int32_t v) {
    std::string d(4, '\0');
    for (int i = 0; i < 4; ++i) d[i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    Add(key, 1, d);
  }
  void AddBool(const std::string& key, bool v) { Add(key, 2, std::string(1, v ? '\1' : '\0')); }

  std::string Build() const {
    std::string out(24, '\0');
    Put(out, 12, 24);
    std::vector<uint32_t> dataAt;
    for (auto& e : entries_) {
      dataAt.push_back(static_cast<uint32_t>(out.size()));
      out += e.data;
    }
    uint32_t first = static_cast<uint32_t>(out.size());
    Put(out, 20, first);
    for (size_t i = 0; i <= entries_.size(); ++i) {
      std::string rec(77, '\0');
      if (i < entries_.size()) {
        const auto& e = entries_[i];
        rec.replace(0, e.key.size(), e.key);
        rec[64] = static_cast<char>(e.kind);
        Put(rec, 65, dataAt[i]);
        Put(rec, 69, static_cast<uint32_t>(e.data.size()));
        Put(rec, 73, first + static_cast<uint32_t>((i + 1) * 77));
      }  // the last record closes the chain
      out += rec;
    }
    return out;
  }
  static void Put(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  }

 private:
  struct E { std::string key; uint8_t kind; std::string data; };
  std::vector<E> entries_;
};

std::string BmpBytes(int w, int h, TColor c) {
  TBitmap b;
  test::Fill(b, w, h, c);
  TMemoryStream m;
  b.SaveToStream(m);
  return m.Bytes();
}

class TempFile {
 public:
  explicit TempFile(const std::string& bytes) {
    path_ = (std::filesystem::temp_directory_path() / ("corvane_theme_" + std::to_string(++counter_) + ".thm")).string();
    WriteFileAtomically(path_, bytes);
  }
  ~TempFile() { std::remove(path_.c_str()); }
  const std::string& Path() const { return path_; }
 private:
  std::string path_;
  static inline int counter_ = 0;
};

ThemeFileBuilder SampleTheme() {
  ThemeFileBuilder b;
  b.AddBool("ButtonTransparentBool", true);
  b.AddInt("ControlBorderColor", 0x123456);
  b.AddInt("FormMinWidthInt", -7);
  b.Add("MenuFontColor", 3, "42");
  b.Add("MenuBarColor", 3, "grey");
  b.Add("ButtonImage", 0, BmpBytes(30, 10, clRed));
  return b;
}

TEST(ThemeFileReader, ReadsEveryKindByKey) {
  TthThemeFileReader r(SampleTheme().Build(), "sample");
  EXPECT_EQ(6, r.EntryCount());
  EXPECT_EQ(true, r.BoolOf("ButtonTransparentBool"));
  EXPECT_EQ(0x123456, r.IntOf("ControlBorderColor"));
  EXPECT_EQ(-7, r.IntOf("FormMinWidthInt"));
  EXPECT_EQ(42, r.IntOf("MenuFontColor"));
  EXPECT_FALSE(r.IntOf("MenuBarColor").has_value());  // text that is not a number
  EXPECT_FALSE(r.IntOf("Missing").has_value());
  TBitmap img;
  ASSERT_TRUE(r.ImageOf("ButtonImage", img));
  EXPECT_EQ(30, img.Width());
  EXPECT_EQ(clRed, img.Pixel(3, 3));
  EXPECT_FALSE(r.ImageOf("ControlBorderColor", img));  // not image data
}

TEST(ThemeFileReader, TheClosingRecordCarriesNoEntry) {
  ThemeFileBuilder b;
  b.AddInt("FormBorderWidthInt", 3);
  std::string bytes = b.Build();
  // Point the first record straight at the closing one: nothing is read.
  uint32_t first = static_cast<uint32_t>(bytes.size()) - 77;
  ThemeFileBuilder::Put(bytes, 20, first);
  TthThemeFileReader r(bytes, "x");
  EXPECT_EQ(0, r.EntryCount());
}

TEST(ThemeFileReader, MalformedFilesAreRejectedWithAClearError) {
  std::string good = SampleTheme().Build();
  auto rejects = [](const std::string& bytes, const char* what) {
    try {
      TthThemeFileReader r(bytes, "bad.thm");
      ADD_FAILURE() << what << " was accepted";
    } catch (const ETthThemeFileError& e) {
      EXPECT_NE(std::string::npos, e.Message().find("Theme file bad.thm is not valid")) << e.Message();
    }
  };
  rejects("", "an empty file");
  rejects(good.substr(0, 20), "a cut header");
  rejects(good.substr(0, good.size() - 10), "a cut record chain");
  std::string s = good;
  ThemeFileBuilder::Put(s, 12, 1u << 30);
  rejects(s, "a header larger than the file");
  s = good;
  ThemeFileBuilder::Put(s, 20, 0xFFFFFFF0u);
  rejects(s, "a first record far outside");
  s = good;
  uint32_t first = static_cast<uint32_t>(good.size()) - 7 * 77;
  ThemeFileBuilder::Put(s, first + 73, first);  // the first record points at itself
  rejects(s, "a looping chain");
  s = good;
  ThemeFileBuilder::Put(s, first + 69, 0xFFFFFFFFu);  // data size
  rejects(s, "data beyond the end");
  s = good;
  ThemeFileBuilder::Put(s, first + 69, 2);  // a boolean of two bytes
  rejects(s, "a boolean of the wrong size");
  s = good;
  s[first + 64] = 9;
  rejects(s, "an unknown kind");
}

TEST(FileTheme, LoadsAFileAndAnswersByKey) {
  TempFile f(SampleTheme().Build());
  TthFileTheme theme(nullptr);
  EXPECT_FALSE(theme.IsLoaded());
  EXPECT_FALSE(theme.BoolOf("ButtonTransparentBool"));
  EXPECT_EQ(-1, theme.IntOf("ControlBorderColor"));
  theme.SetThemeFile(f.Path());
  ASSERT_TRUE(theme.IsLoaded());
  EXPECT_EQ(f.Path(), theme.ThemeFile());
  EXPECT_TRUE(theme.BoolOf("ButtonTransparentBool"));
  EXPECT_EQ(0x123456, theme.ColorOf("ControlBorderColor"));
  EXPECT_EQ(-1, theme.IntOf("MenuBarColor"));
  EXPECT_EQ(-1, theme.IntOf("NoSuchKey"));
  EXPECT_FALSE(theme.BoolOf("NoSuchKey"));

  auto r = ResolveStyle(&theme, TthUIStyle::FromThemeFile);
  EXPECT_TRUE(r.useFile);
  TBitmap frame;
  ThemeImageOf(&theme, TthUIStyle::FromThemeFile, thButtonImage, frame, 3, 2);
  EXPECT_EQ(10, frame.Width());
  EXPECT_EQ(clRed, frame.Pixel(1, 1));
  // A key the file does not hold gives no image.
  ThemeImageOf(&theme, TthUIStyle::FromThemeFile, 3, frame);
  EXPECT_TRUE(frame.Empty());
}

TEST(FileTheme, AMissingFileChangesNothingAndAMalformedOneRaises) {
  TempFile good(SampleTheme().Build());
  TempFile bad(std::string(30, 'x'));
  TthFileTheme theme(nullptr);
  theme.SetThemeFile(good.Path());
  theme.SetThemeFile("/no/such/dir/missing.thm");
  EXPECT_EQ(good.Path(), theme.ThemeFile());
  EXPECT_TRUE(theme.IsLoaded());
  EXPECT_THROW(theme.SetThemeFile(bad.Path()), ETthThemeFileError);
  EXPECT_EQ(good.Path(), theme.ThemeFile());
  EXPECT_EQ(0x123456, theme.ColorOf("ControlBorderColor"));  // the old file stays loaded
}

TEST(FileTheme, FallsBackToTheProgramDirectory) {
  std::string dir = ExtractFilePath(ParamStr0());
  std::string name = "corvane_fallback_test.thm";
  WriteFileAtomically(dir + name, SampleTheme().Build());
  TthFileTheme theme(nullptr);
  theme.SetThemeFile("/elsewhere/" + name);
  std::remove((dir + name).c_str());
  EXPECT_TRUE(theme.IsLoaded());
  EXPECT_EQ(dir + name, theme.ThemeFile());
}

TEST(FileTheme, LoadingReResolvesTheControlsOfItsWindowThatUseIt) {
  TempFile f(SampleTheme().Build());
  TForm form(nullptr);
  auto* theme = new TthFileTheme(&form);
  auto* button = new TthButton(&form);
  auto* other = new TthButton(&form);  // uses no file theme
  auto* edit = new TthEdit(&form);
  button->SetFileTheme(theme);
  button->SetUIStyle(TthUIStyle::FromThemeFile);
  edit->SetFileTheme(theme);
  edit->SetUIStyle(TthUIStyle::FromThemeFile);
  other->SetUIStyle(TthUIStyle::FromThemeFile);
  EXPECT_FALSE(button->Transparent());  // DeepBlue until the file is loaded
  EXPECT_EQ(0x000000, edit->BorderColor());
  theme->SetThemeFile(f.Path());
  EXPECT_TRUE(button->Transparent());   // ButtonTransparentBool of the file
  EXPECT_EQ(0x123456, edit->BorderColor());
  EXPECT_FALSE(other->Transparent());
}

}  // namespace
}  // namespace corvane
