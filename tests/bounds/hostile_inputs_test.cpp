// Hostile documents, pages and skins (made by scripts/hostile-inputs) fed to the views that meet
// them, each in a child process of its own: every one must be answered (shown within the bounds
// on what the layout is given, or refused with a message), and the time and memory each took are
// printed. The child checks the bounds by what the code reports it gave the layout; its limits
// (CPU time, a generous wall clock) only stop a regression from hanging the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/core/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/widgets/StdCtrls.h"
#include "platform/widgets/WebBrowser.h"
#include "platform/windows/Forms.h"
#include "platform/windows/Menus.h"
#include "skin/frame/SkinDrawing.h"
#include "skin/frame/SkinMenu.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/StoredSkin.h"
#include "support/ChildRun.h"

using namespace corvane;

namespace {

constexpr const char* kInputVariable = "CORVANE_HOSTILE_INPUT";

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

// The child: shows or loads one input, as the program would, and checks what the program made
// of it: shown within the bounds on the layout (cut with the note when beyond them), or refused
// whole with a message saying why.
TEST(HostileInput, Child) {
  const char* input = std::getenv(kInputVariable);
  if (!input) GTEST_SKIP() << "runs only as the child of HostileInputs.AnsweredWithinBounds";
  const std::string path = input;
  const std::string name = std::filesystem::path(path).filename().string();
  auto has = [](const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; };
  if (EndsWith(name, ".html")) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 570, 406);
    TWebBrowser view(&form);
    view.SetParent(&form);
    view.SetBounds(0, 0, 550, 386);
    form.Show();
    view.ShowAnswer("http://127.0.0.1:9/about/", 200, "text/html; charset=utf-8", "", "", ReadFileBytes(path));
    Application->ProcessMessages();
    EXPECT_GT(view.ContentHeight(), 0);
    const WebPageFigures& f = view.PageFigures();
    const std::string text = view.DocumentText();
    std::printf("%s: %zu bytes of text shown; %zu elements, longest list %zu, widest row %zu, %zu cells%s%s\n",
                name.c_str(), text.size(), f.elements, f.longestList, f.widestRow, f.cells, f.cut ? ", cut" : "",
                view.WrapsAnywhere() ? ", wrapped anywhere" : "");
    EXPECT_LE(f.elements, static_cast<size_t>(kWebMaxElements));
    EXPECT_LE(f.longestList, static_cast<size_t>(kWebMaxListItems));
    EXPECT_LE(f.widestRow, static_cast<size_t>(kWebMaxRowCells));
    EXPECT_LE(f.cells, static_cast<size_t>(kWebMaxCells));
    EXPECT_EQ(has(text, kWebPageCutNote), f.cut);
    // What each page must come to.
    if (name.starts_with("ol-")) { EXPECT_EQ(f.longestList, static_cast<size_t>(kWebMaxListItems)); }
    if (name.starts_with("table-") || name.starts_with("row-")) { EXPECT_EQ(f.widestRow, static_cast<size_t>(kWebMaxRowCells)); }
    if (name.starts_with("ol-") || name.starts_with("table-") || name.starts_with("row-")) { EXPECT_TRUE(f.cut); }
    // Pages at the bounds are shown whole.
    if (name.starts_with("at-bound-")) { EXPECT_FALSE(f.cut); }
    if (name.starts_with("nested-")) {
      EXPECT_FALSE(f.cut);
      EXPECT_TRUE(has(text, "deep"));
      EXPECT_LE(f.elements, static_cast<size_t>(kWebMaxInlineDepth + 8));
    }
    // One line of the layout's own view of the text, however the runs are tagged: wrapped
    // anywhere, all of it shown.
    if (name.starts_with("runs-") || name.starts_with("dunhao-") || name.starts_with("hyphens-")) {
      EXPECT_TRUE(view.WrapsAnywhere());
      EXPECT_FALSE(f.cut);
      EXPECT_EQ(text.size(), name.starts_with("runs-") ? 999000u : name.starts_with("dunhao-") ? 1500000u : 500000u);
    }
  } else if (EndsWith(name, ".rtf")) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 520, 420);
    TRichEdit edit(&form);
    edit.SetParent(&form);
    edit.SetBounds(0, 0, 500, 400);
    edit.SetReadOnly(true);
    form.Show();
    std::string refused;
    try {
      edit.LoadFromFile(path);
      Application->ProcessMessages();
      EXPECT_GT(edit.ContentHeight(), 0);
      std::printf("%s: %d characters shown%s\n", name.c_str(), edit.GetTextLen(), edit.WrapsAnywhere() ? ", wrapped anywhere" : "");
    } catch (const Exception& e) {
      refused = e.what();
      std::printf("%s: refused: %s\n", name.c_str(), e.what());
    }
    if (name.starts_with("at-bound-")) { EXPECT_EQ(refused, ""); }
    if (name.starts_with("paragraphs-")) { EXPECT_EQ(refused, "Cannot show file " + path + ": it has more than 50000 paragraphs"); }
    if (name.starts_with("row-")) { EXPECT_EQ(refused, "Cannot show file " + path + ": it has a table row of more than 64 cells"); }
    if (name.starts_with("runs-") || name.starts_with("dunhao-")) {
      EXPECT_EQ(refused, "");
      EXPECT_TRUE(edit.WrapsAnywhere());
      EXPECT_EQ(edit.GetTextLen(), name.starts_with("runs-") ? 999000 : 500000);
    }
  } else if (EndsWith(name, ".skn")) {
    TskCompressedStoredSkin stored(nullptr);
    TskSkinData skin(nullptr);
    std::string refused;
    try {
      stored.ImportSknFile(path);
      skin.ApplyStoredSkin(stored);
      std::printf("%s: loaded\n", name.c_str());
    } catch (const Exception& e) {
      refused = e.what();
      std::printf("%s: refused: %s\n", name.c_str(), e.what());
    }
    EXPECT_TRUE(skin.IsEmpty);
    if (name.starts_with("inflate-")) { EXPECT_EQ(refused, "Skin data unpacks to more than 64 MB"); }
    if (name.starts_with("huge-")) { EXPECT_EQ(refused, "Bitmap image is too large (4200 x 4200 pixels, at most 16777216)"); }
    if (name.starts_with("clientrect")) {
      EXPECT_EQ(refused, "Skin description [FORMINFO] clientrect=0,0,2000000000,2000000000: coordinates go up to 32768");
    }
  } else if (name.starts_with("caption-")) {
    // A skinned frame's caption cut to its place: work in step with the text.
    const std::string caption = ReadFileBytes(path);
    TBitmap b(1, 1);
    TCanvas& c = b.Canvas();
    c.Font().SetName("宋体");
    c.Font().SetHeight(12);
    const int64_t before = TextBytesMeasured();
    const std::string shown = FitTextWidth(c, caption, 300);
    const int64_t measured = TextBytesMeasured() - before;
    std::printf("%s: %zu of %zu bytes shown, %lld bytes measured\n", name.c_str(), shown.size(), caption.size(),
                static_cast<long long>(measured));
    EXPECT_TRUE(shown.ends_with("...") && caption.starts_with(shown.substr(0, shown.size() - 3)));
    EXPECT_LE(c.TextWidth(shown), 300);
    EXPECT_GT(c.TextWidth(shown), 300 - 2 * c.TextWidth("乾"));
    EXPECT_LE(measured, 3 * static_cast<int64_t>(caption.size()) + 64);
  } else if (name.starts_with("menu-item-")) {
    // A skinned menu with one item of that caption, shown and painted.
    TskCompressedStoredSkin stored(nullptr);
    stored.ReadCompressedData(StoredSkinBytes());
    TskSkinData skin(nullptr);
    skin.SetCompressedStoredSkin(&stored);
    TForm form(nullptr);
    form.SetBounds(200, 150, 400, 300);
    auto* host = new TskSkinMenuHost(&form);
    host->SkinData = &skin;
    auto* menu = new TskSkinPopupMenu(&form);
    auto* item = new TMenuItem(menu);
    item->Caption = ReadFileBytes(path);
    menu->Items().Add(item);
    form.Show();
    menu->Popup(100, 100);
    Application->ProcessMessages();
    TskSkinPopupWindow* level = host->SkinMenu().Level(0);
    ASSERT_NE(level, nullptr);
    level->Repaint();
    Application->ProcessMessages();
    std::printf("%s: menu %d pixels wide\n", name.c_str(), level->Width());
    EXPECT_TRUE(level->Narrowed());
    EXPECT_LE(level->Width(), Screen->WorkAreaRect().Width());
    host->SkinMenu().CloseLevels(0);
    if (host->InMenu()) host->ExitMenuMode();
  }
}

TEST(HostileInputs, AnsweredWithinBounds) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("corvane_hostile_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  const std::string make = std::string(CORVANE_SOURCE_DIR) + "/scripts/hostile-inputs " + dir.string() + " >/dev/null";
  ASSERT_EQ(std::system(make.c_str()), 0) << make;
  std::vector<fs::path> inputs;
  for (const auto& e : fs::directory_iterator(dir)) inputs.push_back(e.path());
  std::sort(inputs.begin(), inputs.end());
  ASSERT_GE(inputs.size(), 22u);
  test::ChildLimits limits;
  limits.cpuSeconds = 30;
  if (const char* cpu = std::getenv("CORVANE_HOSTILE_CPU")) limits.cpuSeconds = std::atoi(cpu);
  for (const fs::path& input : inputs) {
    test::ChildFigures f = test::RunTestInChild("HostileInput.Child", kInputVariable, input.string(), limits);
    std::printf("%-24s %6.2f s (CPU %6.2f s) %7.1f MB%s\n", input.filename().c_str(), f.seconds, f.cpuSeconds,
                f.maxRssMb, f.exited ? (f.status == 0 ? "" : "  FAILED") : "  KILLED");
    std::fflush(stdout);
    EXPECT_TRUE(f.exited && f.status == 0) << input.filename() << ": exit status " << f.status << ", signal " << f.signal;
    // Memory is the child's own and does not depend on how busy the machine is (its time does,
    // and is only printed). The address sanitizer's shadow memory would count too.
    if (!test::kAddressSanitizer) EXPECT_LT(f.maxRssMb, 200.0) << input.filename();
  }
  fs::remove_all(dir);
}
