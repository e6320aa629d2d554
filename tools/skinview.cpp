// skinview: shows a sizeable window in a skinned frame, so a skin can be looked at and tried by
// hand: the stored skin (the one the about window carries) by default, a skin named on the
// command line (a .skn file, or a folder's skin.ini), or the plain default frame. The client area
// shows the skin's background with the program's logo in its middle.
//
//   skinview [--default] [--size WxH] [--at X,Y] [--caption TEXT] [--screenshot FILE] [SKIN]
//   skinview --help      prints this usage (no display needed)
//
// The system menu (the button at the top left, or a right click on the caption) holds the frame's
// own commands around three menus of the viewer's: the look (check marks: the skin or the default
// frame, switched at once), a long menu that scrolls, and a sub-menu with a sub-menu.
//
// --screenshot saves what the screen shows of the window (the region's cut corners show what is
// behind it) once it is painted, then ends the program.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/graphics/Graphics.h"
#include "platform/windows/Forms.h"
#include "platform/windows/Menus.h"
#include "skin/frame/SkinForm.h"
#include "skin/frame/SkinMenu.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/StoredSkin.h"

using namespace corvane;

namespace {

constexpr const char* kUsage =
    "usage: skinview [--default] [--size WxH] [--at X,Y] [--caption TEXT] [--screenshot FILE] [SKIN]\n"
    "  SKIN  a .skn file or a skin folder's skin.ini (default: the stored skin)\n";

// Wrong use: the usage on the error stream, exit status 2.
int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  // The usage needs no display: asked for, or for an option it does not know, it is printed
  // before the toolkit starts (the toolkit's own options have one dash and are left to it).
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--size" || a == "--at" || a == "--caption" || a == "--screenshot") ++i;
    else if (a != "--default" && a.rfind("--", 0) == 0) return Usage();
  }
  TApplication::Initialize(argc, argv);
  bool useDefault = false;
  int width = 520, height = 360, left = -1, top = -1;
  std::string skinPath, screenshot, caption = "皮肤预览 Skin viewer";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (a == "--default") useDefault = true;
    else if (a == "--size") { if (std::sscanf(next().c_str(), "%dx%d", &width, &height) != 2) return Usage(); }
    else if (a == "--at") { if (std::sscanf(next().c_str(), "%d,%d", &left, &top) != 2) return Usage(); }
    else if (a == "--caption") caption = next();
    else if (a == "--screenshot") screenshot = next();
    else if (a.rfind("--", 0) == 0) return Usage();
    else skinPath = a;
  }
  if (useDefault && !skinPath.empty()) return Usage();

  TApplication app;
  app.Title = "skinview";
  try {
    auto* form = app.CreateForm<TForm>();
    form->SetName("SkinView");
    form->SetCaption(caption);
    form->SetBorderStyle(TFormBorderStyle::bsSizeable);
    form->SetBounds(0, 0, width, height);
    if (left >= 0) form->SetBounds(left, top, width, height);
    else form->CenterOnScreen();

    auto* stored = new TskCompressedStoredSkin(form);
    if (skinPath.empty()) stored->ReadCompressedData(StoredSkinBytes());
    else if (EndsWith(skinPath, ".skn")) stored->ImportSknFile(skinPath);
    else stored->PackSkinFolder(skinPath);
    if (!useDefault && stored->IsDataEmpty()) throw Exception("No skin in " + skinPath + ".");

    auto* skin = new TskSkinData(form);
    auto* frame = new TskSkinForm(form);
    frame->SetName("skSkinForm1");
    TBitmap logo;
    if (logo.LoadFromResourceName("g1.jpg")) frame->SetLogoBitMap(logo);
    if (!useDefault) {
      skin->SetCompressedStoredSkin(stored);
      frame->SetSkinData(skin);
    } else {
      frame->ApplySkinData();
    }

    // The system menu: the frame adds its commands around these.
    auto* sys = new TskSkinPopupMenu(form);
    sys->SetName("SystemMenu1");
    auto item = [&](TMenuItem* parent, const std::string& caption, std::function<void()> click = nullptr) {
      auto* i = new TMenuItem(sys);
      i->Caption = caption;
      if (click) i->OnClick = [click](TObject*) { click(); };
      parent->Add(i);
      return i;
    };
    item(&sys->Items(), "-");
    TMenuItem* look = item(&sys->Items(), "外观 Look");
    TMenuItem* skinned = item(look, "皮肤 Skin");
    TMenuItem* plain = item(look, "默认边框 Default frame");
    skinned->RadioItem = plain->RadioItem = true;
    auto choose = [frame, skin, stored, skinned, plain](bool useSkin) {
      skinned->Checked = useSkin;
      plain->Checked = !useSkin;
      frame->SetSkinData(useSkin && !stored->IsDataEmpty() ? skin : nullptr);
    };
    skinned->OnClick = [choose](TObject*) { choose(true); };
    plain->OnClick = [choose](TObject*) { choose(false); };
    skinned->Checked = !useDefault;
    plain->Checked = useDefault;
    item(look, "-");
    TMenuItem* logoShown = item(look, "徽标 Logo");
    logoShown->Checked = true;
    logoShown->OnClick = [frame, logoShown, &logo](TObject*) {
      logoShown->Checked = !logoShown->Checked;
      TBitmap none;
      frame->SetLogoBitMap(logoShown->Checked ? logo : none);
    };
    TMenuItem* hexagrams = item(&sys->Items(), "六十四卦 Long menu");
    static const char* const kNames[] = {"乾", "坤", "屯", "蒙", "需", "讼", "师", "比", "小畜", "履", "泰", "否",
                                         "同人", "大有", "谦", "豫", "随", "蛊", "临", "观", "噬嗑", "贲", "剥", "复"};
    for (int i = 0; i < 24; ++i) item(hexagrams, std::to_string(i + 1) + " " + kNames[i]);
    TMenuItem* nested = item(&sys->Items(), "子菜单 Sub-menus");
    TMenuItem* inner = item(nested, "更深 Deeper");
    item(nested, "同级 Sibling");
    item(inner, "最深 Deepest");
    frame->SetMaxMenuItemsInWindow(12);
    frame->SetSystemMenu(sys);

    form->Show();
    if (!screenshot.empty()) {
      // Wait until the window is on screen and painted, then save what the screen shows.
      app.ProcessUntil([&] { return form->Showing() && form->WindowActive(); }, 3000);
      for (int i = 0; i < 10; ++i) app.ProcessMessages();
      TBitmap shot;
      if (!GrabScreen(form->WindowRect(), shot) || !shot.SaveToPngFile(screenshot)) {
        std::fprintf(stderr, "skinview: cannot save %s\n", screenshot.c_str());
        return 1;
      }
      return 0;
    }
    // The menus' handlers refer to what is made above: the program runs within this block.
    app.Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skinview: %s\n", e.what());
    return 1;
  }
  return 0;
}
