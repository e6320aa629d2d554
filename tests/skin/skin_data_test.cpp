// Loading skin data: the stored skin's figures, the skin change messages, [FORMINFO] completion
// and clamping, and what a failed load leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "SkinTestUtil.h"
#include "platform/core/Encoding.h"
#include "platform/graphics/Graphics.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/ResourceStrData.h"
#include "skin/package/SkinData.h"
#include "skin/package/SkinPackage.h"
#include "skin/package/StoredSkin.h"
#include "skin/package/ZlibStreams.h"

namespace corvane {
namespace {

// Records the skin change messages; the "forms" are plain components.
struct MessageLog {
  std::vector<std::pair<TComponent*, TMessage>> sent;
  std::vector<TComponent*> forms;
  TskFormMessenger saved;
  MessageLog() {
    saved = SkinFormMessenger();
    SkinFormMessenger().IsForm = [this](TComponent* c) {
      return std::find(forms.begin(), forms.end(), c) != forms.end();
    };
    SkinFormMessenger().Forms = [this] { return forms; };
    SkinFormMessenger().Send = [this](TComponent* f, TMessage& m) { sent.emplace_back(f, m); };
  }
  ~MessageLog() { SkinFormMessenger() = saved; }
  std::vector<unsigned> Messages() const {
    std::vector<unsigned> out;
    for (auto& s : sent) out.push_back(s.second.Msg);
    return out;
  }
};

void HoldStoredSkin(TskCompressedStoredSkin& s) { s.ReadCompressedData(StoredSkinBytes()); }

std::string Compressed(const TskSkinPackage& p) {
  TMemoryStream raw, packed;
  WriteSkinPackage(raw, p);
  CompressStream(raw, packed);
  return packed.Bytes();
}

TskSkinPackage SmallPackage(const std::string& description) {
  TskSkinPackage p;
  p.Picture = test::PatternImage(20, 16);
  p.ActivePictures = {test::PatternImage(4, 4)};
  p.Description = TskIniText::SplitLines(description);
  return p;
}

struct Loaded {
  MessageLog log;
  TComponent form{nullptr};
  TskCompressedStoredSkin stored{nullptr};
  TskSkinData data{&form};
  explicit Loaded(const std::string& compressed) {
    log.forms = {&form};
    stored.ReadCompressedData(compressed);
  }
};

// ---------------------------------------------------------------------------------------------
class StoredSkinLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    log.forms = {&other, &form};  // the owner form is told first whatever the form order
    HoldStoredSkin(stored);
    data.SetCompressedStoredSkin(&stored);
  }
  MessageLog log;
  TComponent form{nullptr}, other{nullptr};
  TskCompressedStoredSkin stored{nullptr};
  TskSkinData data{&form};
};

TEST_F(StoredSkinLoad, PicturesAndLists) {
  EXPECT_FALSE(data.IsEmpty);
  EXPECT_EQ(data.Picture->Width(), 188);
  EXPECT_EQ(data.Picture->Height(), 128);
  EXPECT_EQ(data.Picture->PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_TRUE(data.InActivePicture->Empty());
  EXPECT_EQ(data.Mask->Width(), 188);
  EXPECT_EQ(data.Mask->Height(), 128);
  EXPECT_EQ(data.Mask->PixelFormat(), TPixelFormat::pf1bit);
  // First mask row: one black run [7, 181), seven background pixels at each end.
  for (int x = 0; x < 188; ++x)
    EXPECT_EQ(ColorToRGB(data.Mask->Pixel(x, 0)) == clBlack, x >= 7 && x < 181) << x;
  const struct { int w, h; TPixelFormat pf; } active[] = {
      {118, 141, TPixelFormat::pf24bit}, {88, 80, TPixelFormat::pf8bit},  {70, 116, TPixelFormat::pf8bit},
      {42, 22, TPixelFormat::pf8bit},    {516, 318, TPixelFormat::pf8bit}, {53, 31, TPixelFormat::pf1bit}};
  ASSERT_EQ(data.ActivePictures.size(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(data.ActivePictures[i]->Width(), active[i].w) << i;
    EXPECT_EQ(data.ActivePictures[i]->Height(), active[i].h) << i;
    EXPECT_EQ(data.ActivePictures[i]->PixelFormat(), active[i].pf) << i;
  }
  EXPECT_EQ(data.ObjectList.size(), 13u);
  EXPECT_EQ(data.CtrlList.size(), 59u);
  EXPECT_EQ(data.PictureName, "main.bmp");
  EXPECT_EQ(data.MaskName, "mask.bmp");
  EXPECT_EQ(data.ActivePictureNames.size(), 6u);
}

TEST_F(StoredSkinLoad, MessagesInOrderOwnerFirst) {
  ASSERT_EQ(log.sent.size(), 6u);
  const unsigned expect[] = {1225, 1225, 1226, 1226, 1227, 1227};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(log.sent[i].second.Msg, expect[i]);
    EXPECT_EQ(log.sent[i].first, i % 2 == 0 ? &form : &other);
    EXPECT_EQ(log.sent[i].second.WParam, reinterpret_cast<WPARAM>(&data));
    EXPECT_EQ(log.sent[i].second.LParam, 1000);
  }
}

TEST_F(StoredSkinLoad, FormInfo) {
  EXPECT_EQ(data.LTPoint, TPoint(89, 39));
  EXPECT_EQ(data.RTPoint, TPoint(97, 37));
  EXPECT_EQ(data.LBPoint, TPoint(14, 115));
  EXPECT_EQ(data.RBPoint, TPoint(174, 116));
  EXPECT_EQ(data.ClRect, TRect(11, 32, 177, 118));
  EXPECT_EQ(data.MaskRectArea, TRect(5, 4, 183, 124));
  for (const TPoint& p : {data.HitTestLTPoint, data.HitTestRTPoint, data.HitTestLBPoint, data.HitTestRBPoint}) {
    EXPECT_NE(p.X, 0);
    EXPECT_NE(p.Y, 0);
  }
  EXPECT_NE(data.HitTestLTPoint, data.LTPoint);  // as read, not completed from the corners
  EXPECT_EQ(data.BGPictureIndex, -1);
  // Roll-up height: the picture's non-client height.
  EXPECT_EQ(data.Picture->Height() - data.ClRect.Height(), 42);
}

TEST_F(StoredSkinLoad, ObjectsInOrder) {
  const char* names[] = {"menuitem", "caption", "closebutton", "minimizebutton", "maximizebutton", "rollupbutton",
                         "sysmenubutton", "traybutton", "mainmenubaritem", "menubarsysmenubutton",
                         "menubarclosebutton", "menubarmaxbutton", "menubarminbutton"};
  for (size_t i = 0; i < 13; ++i) EXPECT_EQ(data.ObjectList[i]->IDName, names[i]);
  EXPECT_EQ(data.FindObject("closebutton"), 2);
  EXPECT_EQ(data.FindObject("CloseButton"), -1);
  EXPECT_EQ(data.FindControl("nosuchcontrol"), -1);
  for (int i = 1; i <= 7; ++i) {
    const auto& o = *data.ObjectList[static_cast<size_t>(i)];
    EXPECT_FALSE(o.SkinRectInAPicture) << o.IDName;
    EXPECT_TRUE(o.Morphing) << o.IDName;
    EXPECT_EQ(o.MorphKind, SkinMorphKind::mkleftgradient) << o.IDName;
  }
  EXPECT_NE(dynamic_cast<TskDataSkinCaption*>(data.ObjectList[1].get()), nullptr);
  EXPECT_NE(dynamic_cast<TskDataSkinStdButton*>(data.ObjectList[2].get()), nullptr);
  EXPECT_NE(dynamic_cast<TskDataSkinMainMenuBarButton*>(data.ObjectList[12].get()), nullptr);
  EXPECT_EQ(static_cast<TskDataSkinStdButton&>(*data.ObjectList[2]).Command, SkinCommand::cmclose);
}

// The frame anchors a rectangle by the corner areas it lies in (main picture 188 x 128).
TRect Anchor(const TskSkinData& d, TRect r, int W, int H) {
  const int dx = W - d.Picture->Width(), dy = H - d.Picture->Height();
  const int pw = d.Picture->Width(), ph = d.Picture->Height();
  const TRect LT(0, 0, d.LTPoint.X, d.LTPoint.Y), RT(d.RTPoint.X, 0, pw, d.RTPoint.Y),
      LB(0, d.LBPoint.Y, d.LBPoint.X, ph), RB(d.RBPoint.X, d.RBPoint.Y, pw, ph);
  auto in = [](const TRect& area, TRect x) { return area.Contains(x.TopLeft()) && area.Contains({x.Right, x.Bottom}); };
  auto at = [](const TRect& area, TPoint p) { return area.Contains(p); };
  if (in(LT, r)) return r;
  if (in(RT, r)) return r.Offset(dx, 0);
  if (in(LB, r)) return r.Offset(0, dy);
  if (in(RB, r)) return r.Offset(dx, dy);
  if (at(LT, r.TopLeft()) && at(RT, {r.Right, r.Bottom})) return {r.Left, r.Top, r.Right + dx, r.Bottom};
  return r;
}

TEST_F(StoredSkinLoad, CaptionAndButtonsOnTheAboutWindow) {
  auto rect = [&](const char* name) { return Anchor(data, data.ObjectList[data.FindObject(name)]->SkinRect, 550, 386); };
  EXPECT_EQ(rect("caption"), TRect(79, 3, 471, 30));
  EXPECT_EQ(rect("sysmenubutton"), TRect(7, 5, 30, 29));
  EXPECT_EQ(rect("rollupbutton"), TRect(31, 5, 54, 29));
  EXPECT_EQ(rect("traybutton"), TRect(55, 5, 78, 29));
  EXPECT_EQ(rect("minimizebutton"), TRect(472, 5, 495, 29));
  EXPECT_EQ(rect("maximizebutton"), TRect(496, 5, 519, 29));
  EXPECT_EQ(rect("closebutton"), TRect(520, 5, 543, 29));
  EXPECT_EQ(TRect(data.ClRect.Left, data.ClRect.Top, data.ClRect.Right + 362, data.ClRect.Bottom + 258),
            TRect(11, 32, 539, 376));
  EXPECT_TRUE(data.ButtonsRect.IsEmpty());
  EXPECT_TRUE(data.CaptionRect.IsEmpty());
}

TEST_F(StoredSkinLoad, PopupMenuAndHintWindow) {
  const auto& p = *data.PopupWindow;
  EXPECT_EQ(p.WindowPictureIndex, 1);
  EXPECT_EQ(p.ItemsRect, TRect(14, 3, 84, 76));
  auto* item = dynamic_cast<TskDataSkinMenuItem*>(data.ObjectList[0].get());
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->SkinRect, TRect(1, 22, 68, 42));
  EXPECT_EQ(item->DividerRect, TRect(0, 41, 68, 46));
  EXPECT_EQ(item->FontName, "Arial");
  EXPECT_EQ(item->FontHeight, 14);
  ASSERT_NE(data.ActivePicture(item->ActivePictureIndex), nullptr);
  const int windowHeight = data.ActivePicture(p.WindowPictureIndex)->Height();
  EXPECT_EQ(7 * item->SkinRect.Height() + 2 * item->DividerRect.Height() + (windowHeight - p.ItemsRect.Height()), 157);

  const auto& h = *data.HintWindow;
  EXPECT_EQ(h.WindowPictureIndex, 3);
  EXPECT_EQ(data.ActivePicture(3)->Width(), 42);
  EXPECT_EQ(h.MaskPictureIndex, -1);
  EXPECT_EQ(h.LTPoint, TPoint(13, 7));
  EXPECT_EQ(h.RTPoint, TPoint(38, 3));
  EXPECT_EQ(h.LBPoint, TPoint(12, 17));
  EXPECT_EQ(h.RBPoint, TPoint(37, 18));
  EXPECT_EQ(h.ClRect, TRect(12, 3, 38, 19));
  EXPECT_EQ(h.FontName, "Arial");
  EXPECT_EQ(h.FontHeight, 14);
  EXPECT_EQ(h.FontStyle, 0u);
  EXPECT_EQ(h.FontColor, 0);
  EXPECT_FALSE(h.LeftStretch || h.RightStretch || h.TopStretch || h.BottomStretch);
}

TEST_F(StoredSkinLoad, ControlsCoverEveryType) {
  std::set<std::string> classes;
  for (const auto& c : data.CtrlList) classes.insert(c->ClassName());
  EXPECT_EQ(classes.size(), SkinControlTypes().size());
  for (const auto& c : data.CtrlList) {
    if (c->PictureIndex < 0) continue;
    const TBitmap* pic = data.ActivePicture(c->PictureIndex);
    ASSERT_NE(pic, nullptr) << c->IDName;
    EXPECT_LE(c->SkinRect.Right, pic->Width()) << c->IDName;
    EXPECT_LE(c->SkinRect.Bottom, pic->Height()) << c->IDName;
  }
}

TEST_F(StoredSkinLoad, TheCompressedPackageItself) {
  const std::string bytes(StoredSkinBytes());
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(uint8_t(bytes[0]), 0x78);
  EXPECT_EQ(uint8_t(bytes[1]), 0xDA);
  TMemoryStream pkg;
  stored.UnpackTo(pkg);
  TskSkinPackage p;
  ASSERT_TRUE(ReadSkinPackage(pkg, p));
  EXPECT_EQ(p.Version, 3);
  ASSERT_FALSE(p.Description.empty());
  EXPECT_EQ(p.Description.front(), "[VERSION]");
  EXPECT_EQ(p.Picture->BitCount, 24);
  EXPECT_FALSE(p.InactivePicture.has_value());
}

TEST_F(StoredSkinLoad, PicturesAreDecodedWhenFirstUsedAndAreTheStoredOnes) {
  // A window in this skin that is never shown costs only the pictures' stored bytes.
  TMemoryStream pkg;
  stored.UnpackTo(pkg);
  TskSkinPackage p;
  ASSERT_TRUE(ReadSkinPackage(pkg, p));
  ASSERT_EQ(data.ActivePictures.size(), p.ActivePictures.size());
  std::vector<std::pair<TBitmap*, const TBmpImage*>> pictures = {{data.Picture.get(), &*p.Picture},
                                                                 {data.Mask.get(), &*p.Mask}};
  for (size_t i = 0; i < p.ActivePictures.size(); ++i)
    pictures.emplace_back(data.ActivePictures[i].get(), &p.ActivePictures[i]);
  for (auto [bitmap, image] : pictures) {
    EXPECT_TRUE(bitmap->PixelsDeferred());
    ASSERT_EQ(bitmap->Width(), image->Width);
    ASSERT_EQ(bitmap->Height(), image->Height);
    for (int y = 0; y < image->Height; y += 7)
      for (int x = 0; x < image->Width; x += 5)
        ASSERT_EQ(bitmap->Pixel(x, y), RGB((image->Pixel(x, y) >> 16) & 0xFF, (image->Pixel(x, y) >> 8) & 0xFF,
                                           image->Pixel(x, y) & 0xFF)) << x << "," << y;
    EXPECT_FALSE(bitmap->PixelsDeferred());
  }
}

TEST_F(StoredSkinLoad, AssigningAgainLoadsAgain) {
  log.sent.clear();
  data.SetCompressedStoredSkin(&stored);
  EXPECT_EQ(log.Messages(), (std::vector<unsigned>{1225, 1225, 1226, 1226, 1227, 1227}));
  EXPECT_EQ(data.ObjectList.size(), 13u);  // replaced, not appended
  EXPECT_EQ(data.ActivePictures.size(), 6u);
}

TEST_F(StoredSkinLoad, APackageLoadedAtRunTimeReplacesTheSkinWithTheNotices) {
  const size_t objects = data.ObjectList.size(), controls = data.CtrlList.size();
  ASSERT_GT(objects, 0u);
  TMemoryStream raw;
  stored.UnpackTo(raw);
  log.sent.clear();
  data.LoadPackage(raw);
  EXPECT_EQ(log.Messages(), (std::vector<unsigned>{1225, 1225, 1226, 1226, 1227, 1227}));
  EXPECT_EQ(data.ObjectList.size(), objects) << "replaced, not appended";
  EXPECT_EQ(data.CtrlList.size(), controls);
  EXPECT_FALSE(data.IsEmpty);
}

TEST_F(StoredSkinLoad, ClearSkinEmptiesTheModel) {
  data.InActivePicture->SetSize(4, 3);  // the stored skin has none: give it one to lose
  ASSERT_FALSE(data.InActivePicture->Empty());
  data.ClearSkin();
  EXPECT_TRUE(data.IsEmpty);
  EXPECT_TRUE(data.Picture->Empty());
  EXPECT_TRUE(data.InActivePicture->Empty());
  EXPECT_TRUE(data.Mask->Empty());
  EXPECT_TRUE(data.ObjectList.empty());
  EXPECT_TRUE(data.CtrlList.empty());
  EXPECT_TRUE(data.ActivePictures.empty());
  EXPECT_TRUE(data.ActivePictureNames.empty());
  EXPECT_EQ(data.PopupWindow->WindowPictureIndex, -1);
  EXPECT_EQ(data.HintWindow->WindowPictureIndex, -1);
  EXPECT_EQ(data.PictureName, "");
  EXPECT_EQ(data.MaskName, "");
}

TEST_F(StoredSkinLoad, ReferenceClearedWhenTheStoredSkinGoes) {
  {
    TskCompressedStoredSkin temp(nullptr);
    HoldStoredSkin(temp);
    data.SetCompressedStoredSkin(&temp);
    EXPECT_EQ(data.CompressedStoredSkin(), &temp);
  }
  EXPECT_EQ(data.CompressedStoredSkin(), nullptr);
  EXPECT_FALSE(data.IsEmpty);  // the model stays as loaded
}

// ---------------------------------------------------------------------------------------------
const char* kMinimal =
    "[VERSION]\n[PICTURES]\npicture=p.bmp\n[FORMINFO]\nclientrect=2,3,18,13\n[SKINOBJECTS]\n[SKINCONTROLS]\n";

TEST(SkinDataLoad, NothingHappensWithoutData) {
  Loaded l("");
  l.data.SetCompressedStoredSkin(&l.stored);
  EXPECT_TRUE(l.log.sent.empty());
  EXPECT_TRUE(l.data.IsEmpty);
}

TEST(SkinDataLoad, NothingHappensWhileEditingTheLayout) {
  Loaded l(Compressed(SmallPackage(kMinimal)));
  l.data.SetDesigning(true);
  l.data.SetCompressedStoredSkin(&l.stored);
  EXPECT_TRUE(l.log.sent.empty());
  EXPECT_TRUE(l.data.IsEmpty);
  EXPECT_EQ(l.data.CompressedStoredSkin(), &l.stored);
}

TEST(SkinDataLoad, MalformedRectangleStopsTheLoad) {
  const std::string text =
      "[VERSION]\n[PICTURES]\n[FORMINFO]\n[SKINOBJECTS]\ncount=2\n0=caption:caption\n1=b:stdbutton\n"
      "[caption]\nhint=first\nskinrect=1,2,3\n[b]\nskinrect=1,2,3,4\n[SKINCONTROLS]\n";
  Loaded l(Compressed(SmallPackage(text)));
  try {
    l.data.SetCompressedStoredSkin(&l.stored);
    FAIL() << "loaded a malformed rectangle";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid integer value");
  }
  EXPECT_TRUE(l.data.IsEmpty);
  EXPECT_EQ(l.log.Messages(), std::vector<unsigned>{1225});
  ASSERT_EQ(l.data.ObjectList.size(), 1u);  // the member being read stays in the list
  EXPECT_EQ(l.data.ObjectList[0]->Hint, "first");
}

TEST(SkinDataLoad, MalformedPointInFormInfo) {
  Loaded l(Compressed(SmallPackage("[FORMINFO]\nlefttoppoint=\n")));
  EXPECT_THROW(l.data.SetCompressedStoredSkin(&l.stored), EConvertError);
  EXPECT_TRUE(l.data.IsEmpty);
  EXPECT_EQ(l.log.Messages(), std::vector<unsigned>{1225});
}

TEST(SkinDataLoad, LaterVersionLeavesTheSkinEmpty) {
  TskSkinPackage p = SmallPackage(kMinimal);
  p.Version = 4;
  Loaded l(Compressed(p));
  l.data.SetCompressedStoredSkin(&l.stored);
  EXPECT_TRUE(l.data.IsEmpty);
  EXPECT_TRUE(l.data.Picture->Empty());
  EXPECT_EQ(l.log.Messages(), std::vector<unsigned>{1225});
}

TEST(SkinDataLoad, CorruptOrTruncatedData) {
  std::string good = Compressed(SmallPackage(kMinimal));
  std::string corrupt = good;
  corrupt[good.size() / 2] = static_cast<char>(corrupt[good.size() / 2] ^ 0xFF);
  corrupt[good.size() / 2 + 1] = static_cast<char>(corrupt[good.size() / 2 + 1] ^ 0xFF);
  for (const std::string& bad : {corrupt, good.substr(0, good.size() / 2), std::string("\x78\xDA garbage", 10)}) {
    Loaded l(bad);
    EXPECT_THROW(l.data.SetCompressedStoredSkin(&l.stored), Exception);
    EXPECT_TRUE(l.data.IsEmpty);
    EXPECT_EQ(l.log.Messages(), std::vector<unsigned>{1225});
  }
}

TEST(SkinDataLoad, TruncatedPackageInsideAValidStream) {
  TMemoryStream raw;
  WriteSkinPackage(raw, SmallPackage(kMinimal));
  TMemoryStream cut(raw.Bytes().substr(0, 300)), packed;
  CompressStream(cut, packed);
  Loaded l(packed.Bytes());
  EXPECT_THROW(l.data.SetCompressedStoredSkin(&l.stored), EReadError);
  EXPECT_TRUE(l.data.IsEmpty);
}

TEST(SkinDataLoad, APackageDamagedAfterSomePicturesLeavesNoneOfThem) {
  TskSkinPackage p = SmallPackage(kMinimal);
  p.Mask = test::IndexedImage(20, 16, 1);
  p.ActivePictures = {test::PatternImage(4, 4), test::PatternImage(6, 6)};
  TMemoryStream raw;
  WriteSkinPackage(raw, p);
  // Cut 60 bytes before the end of the second active picture (174 bytes long): the main
  // picture, the mask and the first active picture are whole.
  size_t textBytes = 0;
  for (const std::string& line : p.Description) textBytes += line.size() + 2;
  const size_t cut = raw.Bytes().size() - textBytes - 60;
  TMemoryStream cutRaw(raw.Bytes().substr(0, cut)), packed;
  CompressStream(cutRaw, packed);
  Loaded l(packed.Bytes());
  EXPECT_THROW(l.data.SetCompressedStoredSkin(&l.stored), EReadError);
  EXPECT_TRUE(l.data.IsEmpty);
  EXPECT_TRUE(l.data.Picture->Empty());
  EXPECT_TRUE(l.data.Mask->Empty());
  EXPECT_TRUE(l.data.ActivePictures.empty());
}

TEST(SkinDataLoad, DescriptionLinesInGbkAreConvertedOneByOne) {
  // One line in GBK among UTF-8 ones: that line is converted, the others are kept as they are.
  const std::string text = "[VERSION]\nskinname=" + Utf8ToGbk("皮肤") +
                           "\nskinauthor=作者\n[PICTURES]\n[FORMINFO]\n[SKINOBJECTS]\n[SKINCONTROLS]\n";
  Loaded l(Compressed(SmallPackage(text)));
  l.data.SetCompressedStoredSkin(&l.stored);
  EXPECT_FALSE(l.data.IsEmpty);
  EXPECT_EQ(l.data.SkinName, "皮肤");
  EXPECT_EQ(l.data.SkinAuthor, "作者");
}

TEST(SkinDataLoad, UnknownControlTypeIsSkipped) {
  const std::string text =
      "[VERSION]\n[PICTURES]\n[FORMINFO]\n[SKINOBJECTS]\ncount=2\n0=x : caption\n1=cap:caption\n"
      "[SKINCONTROLS]\ncount=3\n0=w:widget\n1=b:button\n2=nocolon\n[b]\nskinrect=1,1,5,5\n";
  Loaded l(Compressed(SmallPackage(text)));
  l.data.SetCompressedStoredSkin(&l.stored);
  ASSERT_EQ(l.data.CtrlList.size(), 1u);
  EXPECT_EQ(l.data.CtrlList[0]->IDName, "b");
  EXPECT_EQ(l.data.CtrlList[0]->SkinRect, TRect(1, 1, 5, 5));
  ASSERT_EQ(l.data.ObjectList.size(), 1u);
  EXPECT_EQ(l.data.FindObject("cap"), 0);
  EXPECT_FALSE(l.data.IsEmpty);
}

TEST(SkinDataLoad, VersionTwoPackage) {
  TskSkinPackage p = SmallPackage(kMinimal);
  p.Version = 2;
  Loaded l(Compressed(p));
  l.data.SetCompressedStoredSkin(&l.stored);
  EXPECT_FALSE(l.data.IsEmpty);
  EXPECT_EQ(l.data.Picture->Width(), 20);
  EXPECT_EQ(l.data.ActivePictures.size(), 1u);
}

TEST(FormInfo, CornerPointsAreClampedToTheClientRectangle) {
  Loaded l(Compressed(SmallPackage(
      "[FORMINFO]\nclientrect=5,6,15,12\nlefttoppoint=1,2\nrighttoppoint=19,1\nleftbottompoint=0,15\n"
      "rightbottompoint=18,14\n")));
  l.data.SetCompressedStoredSkin(&l.stored);
  EXPECT_EQ(l.data.LTPoint, TPoint(5, 6));
  EXPECT_EQ(l.data.RTPoint, TPoint(15, 6));
  EXPECT_EQ(l.data.LBPoint, TPoint(5, 12));
  EXPECT_EQ(l.data.RBPoint, TPoint(15, 12));
}

TEST(FormInfo, NoClampingWhenRightBottomSharesAnAxisWithLeftTop) {
  Loaded l(Compressed(SmallPackage(
      "[FORMINFO]\nclientrect=5,6,15,12\nlefttoppoint=1,2\nrighttoppoint=19,1\nleftbottompoint=0,15\n"
      "rightbottompoint=1,14\n")));
  l.data.SetCompressedStoredSkin(&l.stored);
  EXPECT_EQ(l.data.LTPoint, TPoint(1, 2));
  EXPECT_EQ(l.data.RTPoint, TPoint(19, 1));
  EXPECT_EQ(l.data.RBPoint, TPoint(1, 14));
}

TEST(FormInfo, MaskAreaAndHitTestPointsAreCompletedOnlyWithAMask) {
  const std::string form =
      "[FORMINFO]\nclientrect=5,6,15,12\nlefttoppoint=6,7\nrighttoppoint=14,7\nleftbottompoint=6,11\n"
      "rightbottompoint=14,11\nhittestlefttoppoint=3,0\nhittestrighttoppoint=9,9\n";
  Loaded withMask(Compressed(SmallPackage("[PICTURES]\nmask=m.bmp\n" + form)));
  withMask.data.SetCompressedStoredSkin(&withMask.stored);
  EXPECT_EQ(withMask.data.MaskRectArea, TRect(5, 6, 15, 12));
  EXPECT_EQ(withMask.data.HitTestLTPoint, TPoint(6, 7));  // unset (Y = 0): the corner point
  EXPECT_EQ(withMask.data.HitTestRTPoint, TPoint(9, 9));
  EXPECT_EQ(withMask.data.HitTestRBPoint, TPoint(14, 11));

  Loaded noMask(Compressed(SmallPackage("[PICTURES]\n" + form)));
  noMask.data.SetCompressedStoredSkin(&noMask.stored);
  EXPECT_EQ(noMask.data.MaskRectArea, TRect());
  EXPECT_EQ(noMask.data.HitTestLTPoint, TPoint(3, 0));

  Loaded widened(Compressed(SmallPackage("[PICTURES]\nmask=m.bmp\n" + form + "maskrectarea=7,2,10,20\n")));
  widened.data.SetCompressedStoredSkin(&widened.stored);
  EXPECT_EQ(widened.data.MaskRectArea, TRect(5, 2, 15, 20));
}

TEST(FormInfo, HitTestPointsKeepTheirValuesFromBeforeClamping) {
  Loaded l(Compressed(SmallPackage(
      "[PICTURES]\nmask=m.bmp\n[FORMINFO]\nclientrect=5,6,15,12\nlefttoppoint=1,2\nrighttoppoint=19,1\n"
      "leftbottompoint=0,15\nrightbottompoint=18,14\n")));
  l.data.SetCompressedStoredSkin(&l.stored);
  EXPECT_EQ(l.data.HitTestLTPoint, TPoint(1, 2));
  EXPECT_EQ(l.data.LTPoint, TPoint(5, 6));
}

TEST(FormInfo, DefaultsOfAnEmptyDescription) {
  Loaded l(Compressed(SmallPackage("[FORMINFO]\n")));
  l.data.SetCompressedStoredSkin(&l.stored);
  EXPECT_EQ(l.data.BGPictureIndex, -1);
  EXPECT_EQ(l.data.MDIBGPictureIndex, -1);
  EXPECT_EQ(l.data.InActiveEffect, SkinInactiveEffect::iebrightness);
  EXPECT_FALSE(l.data.AutoRenderingInActiveImage);
  EXPECT_EQ(l.data.HintWindow->FontHeight, 14);
}

// ---------------------------------------------------------------------------------------------
TEST(ResourceStrings, DefaultTable) {
  TskResourceStrData s(nullptr);
  ASSERT_EQ(s.ResStrings().size(), 115u);
  EXPECT_EQ(s.ResStrings().front(), "MI_MINCAPTION=Mi&nimize");
  EXPECT_EQ(s.ResStrings().back().substr(0, 19), "FIND_REPLACE_CLOSE=");
  EXPECT_EQ(s.GetString("mi_maxcaption"), "Ma&ximize");
  EXPECT_EQ(s.GetString("MENUBUTTON_HINT"), "System menu");
  EXPECT_EQ(s.GetString("TRAYBUTTON_HINT"), "Minimize to Tray");
  EXPECT_EQ(s.GetString("MI_MAX"), "");
  EXPECT_EQ(s.CharSet, 1);
  for (const std::string& line : s.ResStrings()) EXPECT_NE(line.find('='), std::string::npos) << line;
}

TEST(ResourceStrings, FirstMatchAndFirstEquals) {
  TskResourceStrData s(nullptr);
  s.SetResStrings({"A=x=y", "a=second", "B"});
  EXPECT_EQ(s.GetString("A"), "x=y");
  EXPECT_EQ(s.GetString("b"), "");
  EXPECT_EQ(s.ResStrings().size(), 3u);
}

TEST(ResourceStrings, AssigningTellsTheForms) {
  MessageLog log;
  TComponent form(nullptr);
  log.forms = {&form};
  TskSkinData data(&form);
  TskResourceStrData* strings = new TskResourceStrData(nullptr);
  data.SetResourceStrData(strings);
  data.SetResourceStrData(nullptr);
  EXPECT_EQ(log.Messages(), (std::vector<unsigned>{1274, 1274}));
  data.SetResourceStrData(strings);
  delete strings;
  EXPECT_EQ(data.ResourceStrData(), nullptr);
  data.SetDesigning(true);
  log.sent.clear();
  data.SetResourceStrData(nullptr);
  EXPECT_TRUE(log.sent.empty());
}

TEST(Notify, NoOwnerFormSendsInFormOrder) {
  MessageLog log;
  TComponent a(nullptr), b(nullptr), notAForm(nullptr);
  log.forms = {&a, &b};
  TskSkinData data(&notAForm);
  data.NotifyForms(MsgSkinChange);
  ASSERT_EQ(log.sent.size(), 2u);
  EXPECT_EQ(log.sent[0].first, &a);
  EXPECT_EQ(log.sent[1].first, &b);
}

}  // namespace
}  // namespace corvane
