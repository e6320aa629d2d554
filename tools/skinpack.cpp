// skinpack: builds, takes apart and inspects skin packages, and draws the program's own skin.
//
//   skinpack pack   <folder>/skin.ini <out.zlib>   package of a skin folder, zlib-compressed
//   skinpack skn    <folder>/skin.ini <out.skn>    the same as a .skn file
//   skinpack unpack <in.skn|in.zlib> <folder>      pictures and skin.ini of a package
//   skinpack info   <in.skn|in.zlib>               what a package holds
//   skinpack draw   <folder>                       draws the stored skin's pictures and skin.ini
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "platform/core/Classes.h"
#include "platform/graphics/BmpCodec.h"
#include "skin/package/SkinIni.h"
#include "skin/package/SkinMembers.h"
#include "skin/package/SkinPackage.h"

using namespace corvane;

namespace {

std::string PackFolder(const std::string& ini) {
  TskSkinPackage package;
  if (!BuildSkinPackage(ini, package))
    throw Exception("The description lacks one of [VERSION], [PICTURES], [FORMINFO], [SKINOBJECTS], [SKINCONTROLS]");
  TMemoryStream raw, packed;
  WriteSkinPackage(raw, package);
  CompressStream(raw, packed);
  std::cerr << "package " << raw.Size() << " bytes, compressed " << packed.Size() << " bytes\n";
  return packed.Bytes();
}

// The compressed package of a .skn file or of a bare zlib stream.
std::string LoadCompressed(const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0x78) return bytes;
  std::string compressed;
  if (!ReadSknFile(path, compressed)) throw Exception("The package's version is later than 3");
  return compressed;
}

TskSkinPackage LoadPackage(const std::string& path, int64_t* rawSize = nullptr) {
  TMemoryStream src(LoadCompressed(path)), raw;
  DecompressStream(raw, src);
  if (rawSize) *rawSize = raw.Size();
  TskSkinPackage p;
  if (!ReadSkinPackage(raw, p)) throw Exception("The package's version is later than 3");
  return p;
}

void WriteBytes(const std::string& path, std::string_view bytes) { WriteFileAtomically(path, bytes); }

void WriteImage(const std::string& path, const TBmpImage& img) {
  TMemoryStream m;
  EncodeBmp(m, img);
  WriteBytes(path, m.Bytes());
}

int Unpack(const std::string& in, const std::string& dir) {
  TskSkinPackage p = LoadPackage(in);
  std::filesystem::create_directories(dir);
  TskIniText ini(p.Description);
  auto name = [&](const char* key, const char* fallback) {
    std::string n = ini.ReadString("PICTURES", key, "");
    return n.empty() ? std::string(fallback) : n;
  };
  const std::string base = dir + "/";
  if (p.Picture) WriteImage(base + name("picture", "picture.bmp"), *p.Picture);
  if (p.InactivePicture) WriteImage(base + name("inactivepicture", "inactivepicture.bmp"), *p.InactivePicture);
  if (p.Mask) WriteImage(base + name("mask", "mask.bmp"), *p.Mask);
  const auto names = ini.ReadList("PICTURES", "activepictures");
  for (size_t i = 0; i < p.ActivePictures.size(); ++i) {
    std::string n = i < names.size() && !names[i].empty() ? names[i] : "active" + std::to_string(i) + ".bmp";
    WriteImage(base + n, p.ActivePictures[i]);
  }
  std::string text;
  for (const auto& l : p.Description) text += l + "\r\n";
  WriteBytes(base + "skin.ini", text);
  return 0;
}

int Info(const std::string& in) {
  int64_t rawSize = 0;
  TskSkinPackage p = LoadPackage(in, &rawSize);
  auto show = [](const char* what, const std::optional<TBmpImage>& img) {
    if (img) std::cout << what << ": " << img->Width << " x " << img->Height << ", " << img->BitCount << " bit\n";
    else std::cout << what << ": absent\n";
  };
  std::cout << "version " << p.Version << ", package " << rawSize << " bytes\n";
  show("picture", p.Picture);
  show("inactive picture", p.InactivePicture);
  show("mask", p.Mask);
  for (size_t i = 0; i < p.ActivePictures.size(); ++i)
    std::cout << "active " << i << ": " << p.ActivePictures[i].Width << " x " << p.ActivePictures[i].Height << ", "
              << p.ActivePictures[i].BitCount << " bit\n";
  TskIniText ini(p.Description);
  std::cout << "description: " << p.Description.size() << " lines, " << ini.ReadInteger("SKINOBJECTS", "count", 0)
            << " objects, " << ini.ReadInteger("SKINCONTROLS", "count", 0) << " controls\n";
  return 0;
}

// =============================================================================================
// Drawing the stored skin: a dark-red frame with gold lines around a parchment client area.

struct Rgb {
  int r, g, b;
};
constexpr Rgb kMaroon{64, 0, 0}, kDeep{96, 10, 8}, kVermilion{178, 34, 24}, kRed{140, 22, 16},
    kGold{212, 175, 55}, kPaleGold{238, 214, 140}, kParchment{245, 232, 200}, kInk{40, 10, 6},
    kGrey{128, 112, 104};

uint32_t Pack(Rgb c) {
  auto cl = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
  return (cl(c.r) << 16) | (cl(c.g) << 8) | cl(c.b);
}
Rgb Mix(Rgb a, Rgb b, double t) {
  return {int(std::lround(a.r + (b.r - a.r) * t)), int(std::lround(a.g + (b.g - a.g) * t)),
          int(std::lround(a.b + (b.b - a.b) * t))};
}
Rgb Shade(Rgb a, double k) { return k >= 0 ? Mix(a, {255, 255, 255}, k) : Mix(a, {0, 0, 0}, -k); }

class Canvas {
 public:
  Canvas(int w, int h) { img.Reset(w, h, 24); }
  TBmpImage img;
  void Set(int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < img.Width && y < img.Height) img.SetPixel(x, y, Pack(c));
  }
  void Fill(TRect r, Rgb c) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) Set(x, y, c);
  }
  void VGradient(TRect r, Rgb top, Rgb bottom) {
    for (int y = r.Top; y < r.Bottom; ++y) {
      const double t = r.Height() > 1 ? double(y - r.Top) / (r.Height() - 1) : 0;
      for (int x = r.Left; x < r.Right; ++x) Set(x, y, Mix(top, bottom, t));
    }
  }
  void Frame(TRect r, Rgb c) {
    for (int x = r.Left; x < r.Right; ++x) { Set(x, r.Top, c); Set(x, r.Bottom - 1, c); }
    for (int y = r.Top; y < r.Bottom; ++y) { Set(r.Left, y, c); Set(r.Right - 1, y, c); }
  }
  void Bevel(TRect r, Rgb light, Rgb dark) {
    for (int x = r.Left; x < r.Right; ++x) { Set(x, r.Top, light); Set(x, r.Bottom - 1, dark); }
    for (int y = r.Top; y < r.Bottom; ++y) { Set(r.Left, y, light); Set(r.Right - 1, y, dark); }
  }
  void HLine(int x0, int x1, int y, Rgb c) { for (int x = x0; x < x1; ++x) Set(x, y, c); }
  void VLine(int x, int y0, int y1, Rgb c) { for (int y = y0; y < y1; ++y) Set(x, y, c); }
  // Fine paper grain, the same every time it is drawn.
  void Grain(TRect r, int amount, unsigned seed) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) {
        seed = seed * 1103515245u + 12345u;
        const int n = int((seed >> 16) % (2 * amount + 1)) - amount;
        const uint32_t p = img.Pixel(x, y);
        Set(x, y, {int((p >> 16) & 255) + n, int((p >> 8) & 255) + n, int(p & 255) + n});
      }
  }
  void Blit(const Canvas& src, TRect from, int x, int y) {
    for (int j = 0; j < from.Height(); ++j)
      for (int i = 0; i < from.Width(); ++i) {
        const uint32_t p = src.img.Pixel(from.Left + i, from.Top + j);
        Set(x + i, y + j, {int((p >> 16) & 255), int((p >> 8) & 255), int(p & 255)});
      }
  }
};

enum class Glyph { Close, Minimize, Maximize, Restore, RollUp, RollDown, Tray, SysMenu };

void DrawGlyph(Canvas& c, TRect r, Glyph g, Rgb ink) {
  const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  switch (g) {
    case Glyph::Close:
      for (int i = -4; i <= 4; ++i) {
        c.Set(cx + i, cy + i, ink); c.Set(cx + i + 1, cy + i, ink);
        c.Set(cx + i, cy - i, ink); c.Set(cx + i + 1, cy - i, ink);
      }
      break;
    case Glyph::Minimize: c.Fill({cx - 5, cy + 3, cx + 5, cy + 5}, ink); break;
    case Glyph::Maximize:
      c.Frame({cx - 5, cy - 5, cx + 6, cy + 5}, ink);
      c.HLine(cx - 5, cx + 6, cy - 4, ink);
      break;
    case Glyph::Restore:
      c.Frame({cx - 2, cy - 6, cx + 6, cy + 1}, ink);
      c.Fill({cx - 6, cy - 2, cx + 2, cy + 5}, Mix(ink, kMaroon, 0.85));
      c.Frame({cx - 6, cy - 2, cx + 2, cy + 5}, ink);
      break;
    case Glyph::RollUp:
      for (int i = 0; i < 5; ++i) c.HLine(cx - i, cx + i + 1, cy - 2 + i, ink);
      break;
    case Glyph::RollDown:
      for (int i = 0; i < 5; ++i) c.HLine(cx - i, cx + i + 1, cy + 2 - i, ink);
      break;
    case Glyph::Tray:
      c.Frame({cx - 6, cy - 5, cx + 6, cy + 5}, ink);
      c.Fill({cx + 1, cy + 1, cx + 5, cy + 4}, ink);
      break;
    case Glyph::SysMenu:
      // Three unbroken lines: the trigram of heaven.
      for (int k = -1; k <= 1; ++k) c.Fill({cx - 6, cy + 4 * k - 1, cx + 7, cy + 4 * k + 1}, ink);
      break;
  }
}

enum class Look { Normal, Hot, Down, Disabled };

void DrawButton(Canvas& c, TRect r, Glyph g, Look look) {
  Rgb top = kRed, bottom = kDeep, ink = kGold, rim = kGold;
  if (look == Look::Hot) { top = kVermilion; bottom = kRed; ink = kPaleGold; rim = kPaleGold; }
  if (look == Look::Down) { top = kDeep; bottom = kRed; ink = kGold; rim = Shade(kGold, -0.3); }
  if (look == Look::Disabled) { top = Mix(kRed, kGrey, 0.6); bottom = Mix(kDeep, kGrey, 0.6); ink = kGrey; rim = kGrey; }
  const TRect face{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  c.VGradient(face, top, bottom);
  c.Frame(face, rim);
  c.Bevel({face.Left + 1, face.Top + 1, face.Right - 1, face.Bottom - 1}, Shade(top, 0.25), Shade(bottom, -0.3));
  TRect gr = face;
  if (look == Look::Down) gr = gr.Offset(1, 1);
  DrawGlyph(c, gr, g, ink);
}

// The 8-bit pictures share one palette: ramps through the skin's colours and a grey ramp.
std::vector<uint32_t> ThemePalette() {
  std::vector<uint32_t> pal;
  const Rgb path[] = {{0, 0, 0}, kMaroon, kDeep, kRed, kVermilion, kGold, kPaleGold, kParchment, {255, 255, 255}};
  const int stops = static_cast<int>(std::size(path)) - 1;
  const int perLeg = 24;
  for (int s = 0; s < stops; ++s)
    for (int i = 0; i < perLeg; ++i) pal.push_back(Pack(Mix(path[s], path[s + 1], double(i) / perLeg)));
  pal.push_back(Pack(path[stops]));
  while (pal.size() < 256) {
    const int v = int(255 * (pal.size() - (stops * perLeg + 1)) / double(256 - (stops * perLeg + 1) - 1));
    pal.push_back(Pack(Mix({v, v, v}, kMaroon, 0.15)));
  }
  return pal;
}

TBmpImage Indexed(const Canvas& c) {
  TBmpImage img = c.img;
  img.Palette = ThemePalette();
  img.BitCount = 8;
  img.Indices.clear();  // the writer maps every pixel to its nearest palette colour
  return img;
}

TBmpImage OneBit(int w, int h, const std::function<bool(int, int)>& inside) {
  TBmpImage img;
  img.Palette = {0x000000, 0xFFFFFF};
  img.Reset(w, h, 1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.SetIndex(x, y, inside(x, y) ? 0 : 1);  // black is inside
  return img;
}

// Horizontal extent of a rounded rectangle's row: how far the corner of radius r cuts in.
int CornerInset(int y, int h, int r) {
  const int d = y < r ? r - y : (y >= h - r ? y - (h - 1 - r) : 0);
  if (d <= 0) return 0;
  return r - int(std::floor(std::sqrt(double(r * r - d * d))));
}

// ---- Frame geometry of the stored skin (main-picture coordinates).
constexpr int kW = 188, kH = 128;
const TRect kClient{11, 32, 177, 118};
const TRect kCaption{79, 3, 109, 30};
struct ButtonSpec {
  const char* name;
  const char* hint;
  const char* command;
  Glyph glyph;
  TRect rect;
};
const ButtonSpec kButtons[] = {
    {"closebutton", "Close", "cmclose", Glyph::Close, {158, 5, 181, 29}},
    {"minimizebutton", "Minimize", "cmminimize", Glyph::Minimize, {110, 5, 133, 29}},
    {"maximizebutton", "Maximize", "cmmaximize", Glyph::Maximize, {134, 5, 157, 29}},
    {"rollupbutton", "Roll Up", "cmrollup", Glyph::RollUp, {31, 5, 54, 29}},
    {"sysmenubutton", "System menu", "cmsysmenu", Glyph::SysMenu, {7, 5, 30, 29}},
    {"traybutton", "Minimize to Tray", "cmminimizetotray", Glyph::Tray, {55, 5, 78, 29}},
};

Canvas DrawMainPicture() {
  Canvas c(kW, kH);
  c.VGradient({0, 0, kW, kH}, kRed, kMaroon);
  c.VGradient({0, 0, kW, 32}, kVermilion, kDeep);  // title band
  c.Grain({0, 0, kW, kH}, 3, 7);
  // Gold lines: one outside, one around the client area.
  for (int y = 0; y < kH; ++y) {
    const int in = CornerInset(y, kH, 7);
    c.Set(in + 1, y, kGold);
    c.Set(kW - 2 - in, y, kGold);
  }
  c.HLine(8, kW - 8, 1, kGold);
  c.HLine(8, kW - 8, kH - 2, kGold);
  c.Frame({kClient.Left - 2, kClient.Top - 2, kClient.Right + 2, kClient.Bottom + 2}, kGold);
  c.Frame({kClient.Left - 1, kClient.Top - 1, kClient.Right + 1, kClient.Bottom + 1}, kInk);
  // Client: parchment (the window's own controls cover it). A window larger than the skin shows
  // it tiled, so it is one even tone with fine grain: a shading across it would show a hard seam
  // wherever two tiles meet.
  c.Fill(kClient, Mix(kParchment, kGold, 0.12));
  c.Grain(kClient, 4, 11);
  // Caption plate: a lacquer band with a gold rule above and below.
  c.VGradient({kCaption.Left, kCaption.Top + 2, kCaption.Right, kCaption.Bottom - 2}, kVermilion, kRed);
  c.HLine(kCaption.Left, kCaption.Right, kCaption.Top + 2, kPaleGold);
  c.HLine(kCaption.Left, kCaption.Right, kCaption.Bottom - 3, kGold);
  for (int x = kCaption.Left + 2; x < kCaption.Right; x += 4) c.Set(x, kCaption.Top + 4, kGold);
  for (const ButtonSpec& b : kButtons) DrawButton(c, b.rect, b.glyph, Look::Normal);
  // Small gold studs in the bottom corners of the border.
  for (int x : {16, kW - 17}) c.Fill({x - 1, kH - 6, x + 2, kH - 3}, kGold);
  return c;
}

// Active picture 0 (118 x 141, 24 bit): the hot, pressed, disabled and restore looks of the
// caption buttons in 23 x 24 cells.
struct Cells {
  static TRect At(int col, int row) { return {col * 23, row * 24, col * 23 + 23, row * 24 + 24}; }
};

struct ButtonLooks {
  TRect active, down, disabled, restore, restoreActive, restoreDown;
};
std::map<std::string, ButtonLooks> ButtonCells() {
  std::map<std::string, ButtonLooks> m;
  m["closebutton"] = {Cells::At(0, 0), Cells::At(1, 0), Cells::At(0, 4), {}, {}, {}};
  m["minimizebutton"] = {Cells::At(2, 0), Cells::At(3, 0), Cells::At(1, 4), {}, {}, {}};
  m["maximizebutton"] = {Cells::At(4, 0), Cells::At(0, 1), Cells::At(2, 4), Cells::At(1, 1), Cells::At(2, 1), Cells::At(3, 1)};
  m["rollupbutton"] = {Cells::At(4, 1), Cells::At(0, 2), Cells::At(3, 4), Cells::At(1, 2), Cells::At(2, 2), Cells::At(3, 2)};
  m["sysmenubutton"] = {Cells::At(4, 2), Cells::At(0, 3), Cells::At(4, 4), {}, {}, {}};
  m["traybutton"] = {Cells::At(1, 3), Cells::At(2, 3), {}, {}, {}, {}};
  return m;
}

Canvas DrawButtonSheet() {
  Canvas c(118, 141);
  c.VGradient({0, 0, 118, 141}, kMaroon, kDeep);
  const auto cells = ButtonCells();
  for (const ButtonSpec& b : kButtons) {
    const ButtonLooks& l = cells.at(b.name);
    DrawButton(c, l.active, b.glyph, Look::Hot);
    DrawButton(c, l.down, b.glyph, Look::Down);
    if (!l.disabled.IsEmpty()) DrawButton(c, l.disabled, b.glyph, Look::Disabled);
    if (!l.restore.IsEmpty()) {
      const Glyph g = b.glyph == Glyph::Maximize ? Glyph::Restore : Glyph::RollDown;
      DrawButton(c, l.restore, g, Look::Normal);
      DrawButton(c, l.restoreActive, g, Look::Hot);
      DrawButton(c, l.restoreDown, g, Look::Down);
    }
  }
  // The spare strip at the bottom carries a gold fret so the sheet reads as one piece.
  for (int x = 0; x < 118; ++x) c.Set(x, 124 + ((x / 4) % 2) * 6, kGold);
  return c;
}

// Active picture 1 (88 x 80): the popup menu window.
Canvas DrawPopupWindow() {
  Canvas c(88, 80);
  c.VGradient({0, 0, 88, 80}, kDeep, kMaroon);
  c.Grain({0, 0, 88, 80}, 2, 5);
  c.Frame({0, 0, 88, 80}, kGold);
  c.Frame({1, 1, 87, 79}, kInk);
  c.VGradient({2, 2, 13, 78}, kVermilion, kRed);  // the glyph column
  c.VLine(13, 2, 78, kGold);
  return c;
}

// Active picture 2 (70 x 116): menu items (normal, divider, hot) and the menu-bar item.
Canvas DrawMenuItems() {
  Canvas c(70, 116);
  c.Fill({0, 0, 70, 116}, kMaroon);
  // Menu-bar item, normal and down (rows 0..19).
  c.VGradient({1, 0, 68, 20}, kRed, kDeep);
  // Normal item: rows 22..41, transparent-looking dark lacquer.
  c.VGradient({1, 22, 68, 42}, kDeep, kMaroon);
  // Divider: rows 41..45, a gold rule in the middle.
  c.Fill({0, 41, 68, 46}, kMaroon);
  c.HLine(4, 64, 43, kGold);
  c.HLine(4, 64, 44, kInk);
  // Hot item: rows 50..69, gold plate with ink text colour.
  c.VGradient({1, 50, 68, 70}, kPaleGold, kGold);
  c.Frame({1, 50, 68, 70}, Shade(kGold, -0.35));
  // Down menu-bar item (rows 74..93).
  c.VGradient({1, 74, 68, 94}, kDeep, kRed);
  c.Frame({1, 74, 68, 94}, kGold);
  return c;
}

// Active picture 3 (42 x 22): the hint window, parchment with a vermilion rim.
Canvas DrawHintWindow() {
  Canvas c(42, 22);
  c.VGradient({0, 0, 42, 22}, kParchment, Mix(kParchment, kGold, 0.3));
  c.Frame({0, 0, 42, 22}, kRed);
  c.Frame({1, 1, 41, 21}, kGold);
  return c;
}

// ---- The control sheet (active picture 4, 516 x 318, 8 bit).

// Places rectangles on the sheet row by row.
class Shelf {
 public:
  Shelf(int w, int h) : w_(w), h_(h) {}
  TRect Take(int w, int h) {
    if (x_ + w > w_) { x_ = 0; y_ += rowH_ + 1; rowH_ = 0; }
    if (y_ + h > h_) throw Exception("The control sheet is full");
    TRect r{x_, y_, x_ + w, y_ + h};
    x_ += w + 1;
    rowH_ = std::max(rowH_, h);
    return r;
  }
 private:
  int w_, h_, x_ = 0, y_ = 0, rowH_ = 0;
};

std::string Lower(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}
bool Has(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

Rgb LookColor(const std::string& key) {
  if (Has(key, "unenabled") || Has(key, "disabled")) return Mix(kRed, kGrey, 0.6);
  if (Has(key, "down") && !Has(key, "downbutton") && !Has(key, "downupbutton")) return kDeep;
  if (Has(key, "active") || Has(key, "mousein") || Has(key, "focus") || Has(key, "select")) return kVermilion;
  if (Has(key, "fixed") || Has(key, "caption")) return kDeep;
  return kRed;
}

// Gives one control plausible values for all its keys, drawing every picture rectangle it names.
class ControlPainter : public TskFieldVisitor {
 public:
  ControlPainter(Canvas& sheet, Shelf& shelf) : sheet_(sheet), shelf_(shelf) {}
  TRect skin;  // the control's own skin rectangle once taken

  void String(const char* k, std::string& v, const std::string& def) override {
    const std::string key = k;
    if (key == "updown") v = "updown";
    else if (key == "listboxname") v = "listbox";
    else if (key == "menubaritem") v = "mainmenubaritem";
    else if (key == "closebutton") v = "menubarclosebutton";
    else if (key == "minbutton") v = "menubarminbutton";
    else if (key == "maxbutton") v = "menubarmaxbutton";
    else if (key == "sysmenubutton") v = "menubarsysmenubutton";
    else v = def;
  }
  void Integer(const char* k, int& v, int def) override {
    const std::string key = k;
    v = Has(key, "offset") ? 4 : key == "edgesize" ? 2 : def;
  }
  void PictureIndex(const char* k, int& v, int) override {
    const std::string key = k;
    v = key == "pictureindex" ? 4 : -1;
  }
  void Color(const char* k, TColor& v, TColor) override {
    const std::string key = Lower(k);
    Rgb c = kParchment;
    if (Has(key, "active") || Has(key, "mousein") || Has(key, "focus") || Has(key, "select")) c = kPaleGold;
    else if (Has(key, "unenabled") || Has(key, "disabled")) c = kGrey;
    else if (Has(key, "down")) c = kGold;
    else if (Has(key, "bgcolor")) c = Has(key, "active") ? kRed : kMaroon;
    else if (Has(key, "lines") || Has(key, "dark")) c = kInk;
    else if (Has(key, "light") || Has(key, "points") || Has(key, "trackmark")) c = kGold;
    v = RGB(c.r, c.g, c.b);
  }
  void Boolean(const char* k, bool& v, bool) override { v = std::string(k) == "morphing"; }
  void Rect(const char* k, TRect& v, TRect) override {
    const std::string key = k;
    const int w = skin.IsEmpty() ? 0 : skin.Width(), h = skin.IsEmpty() ? 0 : skin.Height();
    if (key == "skinrect") {
      v = skin = shelf_.Take(sizeW, sizeH);
      Paint(v, key);
      return;
    }
    // Areas inside the control, relative to its skin rectangle.
    if (key == "clientrect" || Has(key, "area") || Has(key, "textrect") || key == "captionrect" ||
        Has(key, "captionrect") || key == "itemcheckrect") {
      v = {3, 3, std::max(4, w - 3), std::max(4, h - 3)};
      return;
    }
    // Small parts (buttons, thumbs, glyphs, check marks) and full-size state images.
    const bool small = Has(key, "button") || Has(key, "thumb") || Has(key, "glyph") || Has(key, "check") ||
                       Has(key, "ruler") || key == "progressrect";
    v = small ? shelf_.Take(12, 12) : shelf_.Take(std::max(w, 8), std::max(h, 8));
    Paint(v, key);
  }
  void Point(const char* k, TPoint& v, TPoint) override {
    const std::string key = k;
    const int w = skin.Width(), h = skin.Height();
    if (key == "lefttoppoint") v = {4, 4};
    else if (key == "righttoppoint") v = {w - 4, 4};
    else if (key == "leftbottompoint") v = {4, h - 4};
    else v = {w - 4, h - 4};
  }
  void FontName(const char*, std::string& v, const std::string&) override { v = "Arial"; }
  void FontHeight(const char*, int& v, int) override { v = 14; }
  void FontStyle(const char* k, TFontStyles& v, TFontStyles) override { v = Has(k, "caption") || Has(k, "fixed") ? fsBold : 0; }
  void Alignment(const char*, TAlignment& v, TAlignment) override { v = TAlignment::taLeftJustify; }
  void MorphKind(const char*, SkinMorphKind& v, SkinMorphKind) override { v = SkinMorphKind::mkdefault; }
  void Command(const char*, SkinCommand& v, SkinCommand) override { v = SkinCommand::cmdefault; }

  int sizeW = 40, sizeH = 20;

 private:
  void Paint(const TRect& r, const std::string& key) {
    const Rgb base = LookColor(key);
    sheet_.VGradient(r, Shade(base, 0.12), Shade(base, -0.25));
    sheet_.Frame(r, Has(key, "unenabled") || Has(key, "disabled") ? kGrey : kGold);
    if (r.Width() > 4 && r.Height() > 4)
      sheet_.Bevel({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, Shade(base, 0.3), Shade(base, -0.45));
    if (Has(key, "check") && !Has(key, "uncheck")) {
      for (int i = 0; i < 3; ++i) sheet_.Set(r.Left + 3 + i, r.Top + 6 + i, kPaleGold);
      for (int i = 0; i < 5; ++i) sheet_.Set(r.Left + 5 + i, r.Top + 8 - i, kPaleGold);
    }
    if (Has(key, "upbutton") || Has(key, "downbutton")) {
      const bool up = Has(key, "upbutton") && !Has(key, "downupbutton") ? true : Has(key, "downupbutton");
      const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
      for (int i = 0; i < 3; ++i) sheet_.HLine(cx - i, cx + i + 1, up ? cy - 1 + i : cy + 1 - i, kPaleGold);
    }
  }
  Canvas& sheet_;
  Shelf& shelf_;
};

struct ControlSpec {
  const char* name;
  const char* type;
  int w, h;
};
const ControlSpec kControls[] = {
    {"panel", "panel", 40, 30},          {"groupbox", "panel", 40, 30},       {"captionpanel", "panel", 40, 30},
    {"statusbar", "panel", 40, 18},      {"toolpanel", "panel", 40, 24},      {"expanel", "expanel", 40, 30},
    {"button", "button", 40, 21},        {"toolbutton", "button", 24, 22},    {"resizebutton", "button", 40, 18},
    {"bigbutton", "button", 48, 28},     {"smallbutton", "button", 28, 16},   {"menubutton", "menubutton", 40, 21},
    {"toolmenubutton", "menubutton", 32, 22}, {"checkbox", "checkradio", 40, 16}, {"radiobutton", "checkradio", 40, 16},
    {"gauge", "gauge", 48, 14},          {"vgauge", "gauge", 14, 40},         {"hsplitter", "splitter", 40, 6},
    {"vsplitter", "splitter", 6, 40},    {"htrackbar", "trackbar", 48, 20},   {"vtrackbar", "trackbar", 20, 40},
    {"label", "label", 40, 16},          {"stdlabel", "stdlabel", 40, 16},    {"updown", "updown", 16, 22},
    {"hupdown", "updown", 22, 16},       {"grid", "grid", 40, 30},            {"tab", "tab", 40, 30},
    {"bottomtab", "tab", 40, 30},        {"mainmenubar", "mainmenubar", 48, 20}, {"controlbar", "controlbar", 40, 24},
    {"edit", "edit", 40, 20},            {"buttonedit", "edit", 40, 20},      {"memo", "memo", 40, 30},
    {"listbox", "listbox", 40, 30},      {"captionlistbox", "listbox", 40, 30}, {"checklistbox", "checklistbox", 40, 30},
    {"combobox", "combobox", 40, 20},    {"fontcombobox", "combobox", 40, 20}, {"colorcombobox", "combobox", 40, 20},
    {"vscrollbar", "scrollbar", 16, 40}, {"hscrollbar", "scrollbar", 40, 16}, {"bothhscrollbar", "scrollbar", 40, 16},
    {"spinedit", "spinedit", 40, 20},    {"scrollbox", "scrollbox", 40, 30},  {"treeview", "treeview", 40, 30},
    {"listview", "listview", 40, 30},    {"richedit", "richedit", 40, 30},    {"bevel", "bevel", 24, 24},
    {"slider", "slider", 48, 20},        {"vslider", "slider", 20, 48},       {"headerbutton", "button", 40, 18},
    {"linkbutton", "button", 40, 18},    {"switchcheckbox", "checkradio", 40, 16}, {"groupcheckbox", "checkradio", 40, 16},
    {"shadowlabel", "label", 40, 16},    {"titlelabel", "stdlabel", 40, 18},  {"dateedit", "edit", 40, 20},
    {"passwordedit", "edit", 40, 20},    {"toolbar", "controlbar", 48, 24},
};

TskIniText FrameDescription() {
  TskIniText ini;
  ini.WriteString("VERSION", "ver", "1");
  ini.WriteString("VERSION", "skinname", "Corvane Vermilion");
  ini.WriteString("VERSION", "skinauthor", "Corvane");
  ini.WriteString("VERSION", "authoremail", "");
  ini.WriteString("VERSION", "authorurl", "");
  ini.WriteString("VERSION", "skincomments", "Lacquer red and gold around a parchment client area");

  ini.WriteString("PICTURES", "picture", "main.bmp");
  ini.WriteString("PICTURES", "inactivepicture", "");
  ini.WriteString("PICTURES", "mask", "mask.bmp");
  ini.WriteList("PICTURES", "activepictures",
                {"buttons.bmp", "popup.bmp", "menuitems.bmp", "hint.bmp", "controls.bmp", "buttonmask.bmp"});

  const char* f = "FORMINFO";
  ini.WritePoint(f, "lefttoppoint", {89, 39});
  ini.WritePoint(f, "righttoppoint", {97, 37});
  ini.WritePoint(f, "leftbottompoint", {14, 115});
  ini.WritePoint(f, "rightbottompoint", {174, 116});
  ini.WriteRect(f, "clientrect", kClient);
  ini.WriteInteger(f, "bgpictureindex", -1);
  ini.WriteInteger(f, "mdibgpictureindex", -1);
  for (const char* k : {"leftstretch", "rightstretch", "topstretch", "bottomstretch"}) ini.WriteBool(f, k, false);
  ini.WriteRect(f, "maskrectarea", {5, 4, 183, 124});
  ini.WritePoint(f, "hittestlefttoppoint", {20, 20});
  ini.WritePoint(f, "hittestrighttoppoint", {168, 20});
  ini.WritePoint(f, "hittestleftbottompoint", {20, 108});
  ini.WritePoint(f, "hittestrightbottompoint", {168, 108});
  ini.WriteRect(f, "buttonsrect", {});
  ini.WriteRect(f, "captionrect", {});
  ini.WriteInteger(f, "buttonsoffset", 1);
  ini.WriteBool(f, "buttonsinleft", false);
  ini.WriteBool(f, "mainmenupopupup", false);
  ini.WriteInteger(f, "borderwidth", 4);
  ini.WriteBool(f, "autorenderinginactiveimage", true);
  ini.WriteInactiveEffect(f, "inactiveeffect", SkinInactiveEffect::iedarkness);

  TskDataSkinPopupWindow popup;
  popup.WindowPictureIndex = 1;
  popup.MaskPictureIndex = -1;
  popup.LTPoint = {30, 20};
  popup.RTPoint = {58, 20};
  popup.LBPoint = {30, 60};
  popup.RBPoint = {58, 60};
  popup.ItemsRect = {14, 3, 84, 76};
  popup.ScrollMarkerColor = RGB(kGold.r, kGold.g, kGold.b);
  popup.ScrollMarkerActiveColor = RGB(kPaleGold.r, kPaleGold.g, kPaleGold.b);
  popup.WriteSection(ini);

  TskDataSkinHintWindow hint;
  hint.WindowPictureIndex = 3;
  hint.MaskPictureIndex = -1;
  hint.LTPoint = {13, 7};
  hint.RTPoint = {38, 3};
  hint.LBPoint = {12, 17};
  hint.RBPoint = {37, 18};
  hint.ClRect = {12, 3, 38, 19};
  hint.FontName = "Arial";
  hint.FontHeight = 14;
  hint.FontStyle = 0;
  hint.FontColor = 0;
  hint.WriteSection(ini);

  // Skin objects, in list order.
  std::vector<std::string> objects = {"menuitem:menuitem", "caption:caption"};
  for (const ButtonSpec& b : kButtons) objects.push_back(std::string(b.name) + ":stdbutton");
  objects.push_back("mainmenubaritem:mainmenubaritem");
  for (const char* n : {"menubarsysmenubutton", "menubarclosebutton", "menubarmaxbutton", "menubarminbutton"})
    objects.push_back(std::string(n) + ":mainmenubarbutton");
  ini.WriteInteger("SKINOBJECTS", "count", static_cast<int>(objects.size()));
  for (size_t i = 0; i < objects.size(); ++i) ini.WriteString("SKINOBJECTS", std::to_string(i), objects[i]);

  TskDataSkinMenuItem item("menuitem");
  item.ActivePictureIndex = 2;
  item.SkinRect = {1, 22, 68, 42};
  item.ActiveSkinRect = {1, 50, 68, 70};
  item.Morphing = true;
  item.MorphKind = SkinMorphKind::mkdefault;
  item.ItemLeftOffset = item.ItemRightOffset = 4;
  item.DividerRect = {0, 41, 68, 46};
  item.DividerLeftOffset = item.DividerRightOffset = 4;
  item.TextRect = {4, 0, 63, 20};
  item.FontColor = RGB(kParchment.r, kParchment.g, kParchment.b);
  item.ActiveFontColor = RGB(kInk.r, kInk.g, kInk.b);
  item.UnEnabledFontColor = RGB(kGrey.r, kGrey.g, kGrey.b);
  item.WriteSection(ini);

  TskDataSkinCaption caption("caption");
  caption.ActivePictureIndex = 0;
  caption.SkinRect = kCaption;
  caption.Morphing = true;
  caption.MorphKind = SkinMorphKind::mkleftgradient;
  caption.TextRect = {4, 5, 26, 22};
  caption.FontStyle = fsBold;
  caption.FontColor = RGB(kPaleGold.r, kPaleGold.g, kPaleGold.b);
  caption.ActiveFontColor = RGB(255, 240, 200);
  caption.Alignment = TAlignment::taCenter;
  caption.Shadow = true;
  caption.ShadowColor = RGB(kInk.r, kInk.g, kInk.b);
  caption.ActiveShadowColor = RGB(kMaroon.r, kMaroon.g, kMaroon.b);
  caption.WriteSection(ini);

  const auto cells = ButtonCells();
  for (const ButtonSpec& b : kButtons) {
    TskDataSkinStdButton btn(b.name);
    const ButtonLooks& l = cells.at(b.name);
    btn.Hint = b.hint;
    btn.ActivePictureIndex = 0;
    btn.SkinRectInAPicture = false;
    btn.SkinRect = b.rect;
    btn.ActiveSkinRect = l.active;
    btn.Morphing = true;
    btn.MorphKind = SkinMorphKind::mkleftgradient;
    btn.DownRect = l.down;
    btn.DisableSkinRect = l.disabled;
    TskIniText tmp;
    tmp.WriteString("x", "command", b.command);
    btn.Command = tmp.ReadCommand("x", "command");
    btn.RestoreRect = l.restore;
    btn.RestoreActiveRect = l.restoreActive;
    btn.RestoreDownRect = l.restoreDown;
    btn.WriteSection(ini);
  }

  TskDataSkinMainMenuBarItem barItem("mainmenubaritem");
  barItem.ActivePictureIndex = 2;
  barItem.SkinRect = {1, 0, 68, 20};
  barItem.ActiveSkinRect = {1, 50, 68, 70};
  barItem.DownRect = {1, 74, 68, 94};
  barItem.ItemLeftOffset = barItem.ItemRightOffset = 4;
  barItem.TextRect = {4, 0, 63, 20};
  barItem.FontColor = RGB(kParchment.r, kParchment.g, kParchment.b);
  barItem.ActiveFontColor = RGB(kInk.r, kInk.g, kInk.b);
  barItem.DownFontColor = RGB(kPaleGold.r, kPaleGold.g, kPaleGold.b);
  barItem.UnEnabledFontColor = RGB(kGrey.r, kGrey.g, kGrey.b);
  barItem.WriteSection(ini);

  // Menu-bar buttons use the caption buttons' looks at menu-bar size.
  const std::pair<const char*, const char*> barButtons[] = {{"menubarsysmenubutton", "sysmenubutton"},
                                                            {"menubarclosebutton", "closebutton"},
                                                            {"menubarmaxbutton", "maximizebutton"},
                                                            {"menubarminbutton", "minimizebutton"}};
  for (const auto& [name, like] : barButtons) {
    TskDataSkinMainMenuBarButton btn(name);
    const ButtonLooks& l = cells.at(like);
    btn.ActivePictureIndex = 0;
    btn.SkinRectInAPicture = true;
    btn.SkinRect = l.active;
    btn.ActiveSkinRect = l.active;
    btn.DownRect = l.down;
    for (const ButtonSpec& b : kButtons)
      if (std::string(b.name) == like) {
        TskIniText tmp;
        tmp.WriteString("x", "command", b.command);
        btn.Command = tmp.ReadCommand("x", "command");
      }
    btn.WriteSection(ini);
  }
  return ini;
}

int Draw(const std::string& dir) {
  std::filesystem::create_directories(dir);
  const std::string base = dir + "/";
  WriteImage(base + "main.bmp", DrawMainPicture().img);
  WriteImage(base + "mask.bmp", OneBit(kW, kH, [](int x, int y) {
               const int in = CornerInset(y, kH, 7);
               // Symmetric corners: the top row is the one black run [7, 181), with seven
               // background pixels at each end.
               return x >= in && x < kW - in;
             }));
  WriteImage(base + "buttons.bmp", DrawButtonSheet().img);
  WriteImage(base + "popup.bmp", Indexed(DrawPopupWindow()));
  WriteImage(base + "menuitems.bmp", Indexed(DrawMenuItems()));
  WriteImage(base + "hint.bmp", Indexed(DrawHintWindow()));

  TskIniText ini = FrameDescription();
  Canvas sheet(516, 318);
  sheet.VGradient({0, 0, 516, 318}, kMaroon, kDeep);
  Shelf shelf(516, 318);
  std::vector<std::string> entries;
  std::map<std::string, std::string> firstOfType;
  for (const ControlSpec& entry : kControls) {
    auto control = CreateSkinControl(entry.type, entry.name);
    if (!control) throw Exception(std::string("Unknown control type ") + entry.type);
    auto first = firstOfType.find(entry.type);
    if (first != firstOfType.end()) {
      // Further controls of a type share the looks drawn for the first one.
      control->IDName = first->second;
      control->ReadSection(ini);
      control->IDName = entry.name;
    } else {
      ControlPainter painter(sheet, shelf);
      painter.sizeW = entry.w;
      painter.sizeH = entry.h;
      control->Fields(painter);
      if (std::string(entry.type) == "button") control->MaskPictureIndex = 5;  // rounded buttons
      firstOfType.emplace(entry.type, entry.name);
    }
    control->WriteSection(ini);
    entries.push_back(std::string(entry.name) + ":" + entry.type);
  }
  ini.WriteInteger("SKINCONTROLS", "count", static_cast<int>(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) ini.WriteString("SKINCONTROLS", std::to_string(i), entries[i]);
  WriteImage(base + "controls.bmp", Indexed(sheet));
  WriteImage(base + "buttonmask.bmp", OneBit(53, 31, [](int x, int y) {
               const int in = CornerInset(y, 31, 6);
               return x >= in && x < 53 - in;
             }));

  // Sections in reading order: the top-level ones first, then the members. The text starts with
  // [VERSION]; the note that this file is generated lives in docs/skin.md.
  std::string text;
  for (const std::string& l : ini.Lines()) text += l + "\r\n";
  WriteBytes(base + "skin.ini", text);
  return 0;
}

int Usage() {
  std::cerr << "usage: skinpack pack|skn <skin.ini> <out>\n"
               "       skinpack unpack <in> <folder>\n"
               "       skinpack info <in>\n"
               "       skinpack draw <folder>\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string cmd = argv[1];
  try {
    if (cmd == "pack" && argc == 4) { WriteBytes(argv[3], PackFolder(argv[2])); return 0; }
    if (cmd == "skn" && argc == 4) { WriteSknFile(argv[3], PackFolder(argv[2])); return 0; }
    if (cmd == "unpack" && argc == 4) return Unpack(argv[2], argv[3]);
    if (cmd == "info" && argc == 3) return Info(argv[2]);
    if (cmd == "draw" && argc == 3) return Draw(argv[2]);
  } catch (const std::exception& e) {
    std::cerr << "skinpack: " << e.what() << "\n";
    return 1;
  }
  return Usage();
}
