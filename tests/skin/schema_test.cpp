// The skin description: INI rules, value types, the key naming rule and the member classes.
#include <gtest/gtest.h>

#include <cctype>
#include <string_view>

#include "skin/package/SkinIni.h"
#include "skin/package/SkinMembers.h"

namespace corvane {
namespace {

TskIniText Ini(std::string_view text) {
  TskIniText ini;
  ini.SetText(text);
  return ini;
}

TEST(IniText, LinesSectionsAndKeys) {
  const TskIniText ini = Ini(
      "orphan=1\n"
      "  [ Sec ]  \n"
      "; a comment\n"
      "\tKey = some value \r\n"
      "novalue\n"
      "eq=a=b\n"
      "empty=\n");
  EXPECT_FALSE(ini.ValueExists("Sec", "orphan"));
  EXPECT_EQ(ini.ReadString("sec", "KEY", "d"), "some value");
  EXPECT_EQ(ini.ReadString("SEC", "eq", "d"), "a=b");
  EXPECT_FALSE(ini.ValueExists("Sec", "novalue"));
  EXPECT_EQ(ini.ReadString("Sec", "empty", "d"), "");  // present and empty: not the default
  EXPECT_EQ(ini.ReadString("Sec", "missing", "d"), "d");
  EXPECT_EQ(ini.ReadString("Sec", "; a comment", "d"), "d");
}

TEST(IniText, LaterOccurrencesWin) {
  const TskIniText ini = Ini("[A]\nx=1\ny=2\n[B]\nz=3\n[a]\nx=5\nx=6\n");
  EXPECT_EQ(ini.ReadInteger("A", "x", 0), 6);
  EXPECT_FALSE(ini.ValueExists("A", "y"));  // only the later section is seen
  EXPECT_EQ(ini.ReadInteger("B", "z", 0), 3);
}

TEST(IniText, KeysWhateverTheirCase) {
  const TskIniText ini = Ini("[m]\nunenabledfontColor=42\n");
  EXPECT_EQ(ini.ReadColor("M", "unenabledfontcolor"), 42);
}

TEST(IniText, OnlyAsciiLettersAreMatchedWhateverTheirCase) {
  const TskIniText ini = Ini("[Sec_A]\nKey[1]=ascii\n[\xC3\x84]\n\xC3\x84x=upper\n[\xC3\xA4]\n\xC3\xA4x=lower\n");
  EXPECT_EQ(ini.ReadString("sEC_a", "kEY[1]", "d"), "ascii");
  // "Ä" and "ä" in UTF-8 differ in a byte that is not an ASCII letter: two sections.
  EXPECT_EQ(ini.ReadString("\xC3\x84", "\xC3\x84X", "d"), "upper");
  EXPECT_EQ(ini.ReadString("\xC3\xA4", "\xC3\xA4X", "d"), "lower");
  EXPECT_FALSE(ini.ValueExists("\xC3\x84", "\xC3\xA4x"));
}

TEST(IniText, TextAndLinesReadTheSame) {
  const std::string text = "[a]\r\nx=1\r\r\ny = 2\n\n[B]\rz=3\r\n[A]\nx=4";
  TskIniText fromLines;
  fromLines.SetLines(TskIniText::SplitLines(text));
  EXPECT_EQ(Ini(text).Lines(), fromLines.Lines());
  EXPECT_EQ(Ini(text).Lines(), (std::vector<std::string>{"[a]", "x=4", "", "[B]", "z=3", ""}));
}

TEST(ValueTypes, Integers) {
  const TskIniText ini = Ini("[s]\na=-12\nb=$1F\nc=0x10\nd=12abc\ne=\nf=99999999999\n");
  EXPECT_EQ(ini.ReadInteger("s", "a", 7), -12);
  EXPECT_EQ(ini.ReadInteger("s", "b", 7), 31);
  EXPECT_EQ(ini.ReadInteger("s", "c", 7), 16);
  EXPECT_EQ(ini.ReadInteger("s", "d", 7), 7);
  EXPECT_EQ(ini.ReadInteger("s", "e", 7), 7);
  EXPECT_EQ(ini.ReadInteger("s", "f", 7), 7);
  EXPECT_EQ(ini.ReadInteger("s", "g", 7), 7);
}

TEST(ValueTypes, BooleansAreExactlyOne) {
  const TskIniText ini = Ini("[s]\na=1\nb=2\nc=yes\nd=\ne=-1\n");
  EXPECT_TRUE(ini.ReadBool("s", "a"));
  EXPECT_FALSE(ini.ReadBool("s", "b"));
  EXPECT_FALSE(ini.ReadBool("s", "c"));
  EXPECT_FALSE(ini.ReadBool("s", "d"));
  EXPECT_FALSE(ini.ReadBool("s", "e"));
  EXPECT_FALSE(ini.ReadBool("s", "missing"));
}

TEST(ValueTypes, RectanglesDigitByDigit) {
  EXPECT_EQ(ParseSkinRect(" 1 , 2,3 ,  4 "), TRect(1, 2, 3, 4));
  EXPECT_EQ(ParseSkinRect("1 2,3,4,5"), TRect(12, 3, 4, 5));
  EXPECT_EQ(ParseSkinRect("-5,x6,7px,8"), TRect(5, 6, 7, 8));  // signs and letters skipped
  EXPECT_EQ(ParseSkinRect("1,2,3,4,5,6"), TRect(1, 2, 3, 4));  // fields after the fourth ignored
  // Only the comma separates: other punctuation is skipped like letters.
  EXPECT_EQ(ParseSkinRect("1;2,3,4,5"), TRect(12, 3, 4, 5));
  EXPECT_EQ(ParseSkinRect("1,2.5,3,4"), TRect(1, 25, 3, 4));
  EXPECT_EQ(ParseSkinPoint("89, 39"), TPoint(89, 39));
  EXPECT_EQ(ParseSkinPoint("8;9, 39"), TPoint(89, 39));
}

TEST(ValueTypes, MalformedRectanglesRaiseTheConversionError) {
  for (const char* bad : {"", "1,2,3", ",", "1,,3,4", "a,b,c,d", "1;2;3;4", "1,2,3;4"}) {
    try {
      ParseSkinRect(bad);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const EConvertError& e) {
      EXPECT_STREQ(e.what(), "'' is not a valid integer value") << bad;
    }
  }
  EXPECT_THROW(ParseSkinPoint("7"), EConvertError);
  EXPECT_THROW(ParseSkinRect("1,2,3,99999999999"), EConvertError);
  // A missing key is the default "0,0,0,0", an empty one an error.
  const TskIniText ini = Ini("[s]\nr=\n");
  EXPECT_EQ(ini.ReadRect("s", "missing"), TRect());
  EXPECT_THROW(ini.ReadRect("s", "r"), EConvertError);
}

TEST(ValueTypes, FontStyles) {
  const TskIniText ini = Ini("[s]\na=fsbold\nb=FsBold\nc=fsitalic fsunderline\nd=fsstrikeout,fsbold\n");
  EXPECT_EQ(ini.ReadFontStyle("s", "a"), fsBold);
  EXPECT_EQ(ini.ReadFontStyle("s", "b"), 0u);
  EXPECT_EQ(ini.ReadFontStyle("s", "c"), fsItalic | fsUnderline);
  EXPECT_EQ(ini.ReadFontStyle("s", "d"), fsStrikeOut | fsBold);
}

TEST(Enumerations, InactiveEffect) {
  const TskIniText ini = Ini("[s]\na=iesplitblur\nb=IESPLITBLUR\nc=\n");
  EXPECT_EQ(ini.ReadInactiveEffect("s", "a"), SkinInactiveEffect::iesplitblur);
  EXPECT_EQ(ini.ReadInactiveEffect("s", "b"), SkinInactiveEffect::iegrayscale);
  EXPECT_EQ(ini.ReadInactiveEffect("s", "c"), SkinInactiveEffect::iegrayscale);
  EXPECT_EQ(ini.ReadInactiveEffect("s", "none"), SkinInactiveEffect::iebrightness);
}

TEST(Enumerations, Command) {
  const TskIniText ini = Ini("[s]\na=cmminimizetotray\nb=cmfly\nc=\nd=cmclose\n");
  EXPECT_EQ(ini.ReadCommand("s", "a"), SkinCommand::cmminimizetotray);
  EXPECT_EQ(ini.ReadCommand("s", "b"), SkinCommand::cmminimizetotray);
  EXPECT_EQ(ini.ReadCommand("s", "c"), SkinCommand::cmminimizetotray);
  EXPECT_EQ(ini.ReadCommand("s", "d"), SkinCommand::cmclose);
  EXPECT_EQ(ini.ReadCommand("s", "none"), SkinCommand::cmdefault);
}

TEST(Enumerations, MorphKindAndAlignment) {
  const TskIniText ini = Ini("[s]\nm=mkpush\nn=MKPUSH\na=tarightjustify\nb=middle\nc=\nd=taleftjustify\n");
  EXPECT_EQ(ini.ReadMorphKind("s", "m"), SkinMorphKind::mkpush);
  EXPECT_EQ(ini.ReadMorphKind("s", "n"), SkinMorphKind::mkdefault);
  EXPECT_EQ(ini.ReadMorphKind("s", "none"), SkinMorphKind::mkdefault);
  EXPECT_EQ(ini.ReadAlignment("s", "a"), TAlignment::taRightJustify);
  EXPECT_EQ(ini.ReadAlignment("s", "b"), TAlignment::taRightJustify);
  EXPECT_EQ(ini.ReadAlignment("s", "c"), TAlignment::taRightJustify);
  EXPECT_EQ(ini.ReadAlignment("s", "d"), TAlignment::taLeftJustify);
  EXPECT_EQ(ini.ReadAlignment("s", "none"), TAlignment::taCenter);
}

TEST(Lists, CountAndNumberedKeys) {
  const TskIniText ini = Ini("[p]\nactivepicturescount=3\n0=a.bmp\n2=c.bmp\n");
  EXPECT_EQ(ini.ReadList("p", "activepictures"), (std::vector<std::string>{"a.bmp", "", "c.bmp"}));
  EXPECT_TRUE(ini.ReadList("p", "other").empty());
}

TEST(Lists, HugeCountsDoNotAllocateForMissingEntries) {
  const TskIniText ini = Ini("[p]\nactivepicturescount=2147483647\n0=a.bmp\n");
  const auto items = ini.ReadList("p", "activepictures");
  EXPECT_EQ(items.size(), 1u + TskIniText::kMaxMissingEntries);
  EXPECT_EQ(items[0], "a.bmp");
}

TEST(MemberEntries, SplitAtTheFirstColon) {
  std::string name, type;
  SplitMemberEntry("closebutton:stdbutton", name, type);
  EXPECT_EQ(name, "closebutton");
  EXPECT_EQ(type, "stdbutton");
  SplitMemberEntry("a : b:c", name, type);
  EXPECT_EQ(name, "a ");
  EXPECT_EQ(type, " b:c");
  EXPECT_EQ(CreateSkinObject(type, name), nullptr);  // a type beginning with a blank is unknown
  SplitMemberEntry("nocolon", name, type);
  EXPECT_EQ(name, "");
  EXPECT_EQ(type, "");
  EXPECT_NE(CreateSkinControl("button", "b"), nullptr);
  EXPECT_EQ(CreateSkinControl("Button", "b"), nullptr);
}

// The naming rule of the description: the value type a key has by its name. The member classes
// must follow it (a key named "...rect" is a rectangle, and so on).
enum class TskKeyType {
  Rect, Point, PictureIndex, Color, FontName, FontHeight, FontStyle, Alignment, MorphKind, Command,
  InactiveEffect, Boolean, Integer, String
};

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

TskKeyType SkinKeyType(std::string_view key) {
  std::string k(key);
  for (char& c : k) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (EndsWith(k, "rect") || EndsWith(k, "area") || EndsWith(k, "rsect")) return TskKeyType::Rect;
  if (EndsWith(k, "point")) return TskKeyType::Point;
  if (EndsWith(k, "pictureindex")) return TskKeyType::PictureIndex;
  if (EndsWith(k, "color")) return TskKeyType::Color;
  if (EndsWith(k, "fontname")) return TskKeyType::FontName;
  if (EndsWith(k, "fontheight")) return TskKeyType::FontHeight;
  if (EndsWith(k, "fontstyle")) return TskKeyType::FontStyle;
  if (k == "alignment") return TskKeyType::Alignment;
  if (k == "morphkind") return TskKeyType::MorphKind;
  if (k == "command") return TskKeyType::Command;
  if (k == "inactiveeffect") return TskKeyType::InactiveEffect;
  static const char* const booleans[] = {"skinrectinapicture", "morphing", "shadow", "vertical", "cycle",
                                         "buttonstyle", "leftstretch", "rightstretch", "topstretch",
                                         "bottomstretch", "buttonsinleft", "mainmenupopupup",
                                         "autorenderinginactiveimage"};
  for (const char* b : booleans)
    if (k == b) return TskKeyType::Boolean;
  if (k == "countframes" || k == "timerinterval") return TskKeyType::Integer;
  for (const char* tail : {"offset", "offset1", "offset2", "width", "size", "count"})
    if (EndsWith(k, tail)) return TskKeyType::Integer;
  return TskKeyType::String;
}

// Records each visited key with the kind of field it fills.
struct KindRecorder : TskFieldVisitor {
  std::vector<std::pair<std::string, TskKeyType>> keys;
  void Add(const char* k, TskKeyType t) { keys.emplace_back(k, t); }
  void String(const char* k, std::string&, const std::string&) override { Add(k, TskKeyType::String); }
  void Integer(const char* k, int&, int) override { Add(k, TskKeyType::Integer); }
  void PictureIndex(const char* k, int&, int) override { Add(k, TskKeyType::PictureIndex); }
  void Color(const char* k, TColor&, TColor) override { Add(k, TskKeyType::Color); }
  void Boolean(const char* k, bool&, bool) override { Add(k, TskKeyType::Boolean); }
  void Rect(const char* k, TRect&, TRect) override { Add(k, TskKeyType::Rect); }
  void Point(const char* k, TPoint&, TPoint) override { Add(k, TskKeyType::Point); }
  void FontName(const char* k, std::string&, const std::string&) override { Add(k, TskKeyType::FontName); }
  void FontHeight(const char* k, int&, int) override { Add(k, TskKeyType::FontHeight); }
  void FontStyle(const char* k, TFontStyles&, TFontStyles) override { Add(k, TskKeyType::FontStyle); }
  void Alignment(const char* k, TAlignment&, TAlignment) override { Add(k, TskKeyType::Alignment); }
  void MorphKind(const char* k, SkinMorphKind&, SkinMorphKind) override { Add(k, TskKeyType::MorphKind); }
  void Command(const char* k, SkinCommand&, SkinCommand) override { Add(k, TskKeyType::Command); }
};

TEST(MemberClasses, EveryKeyHasTheTypeItsNameSays) {
  auto check = [](TskDataSkinMember& m, const std::string& word) {
    KindRecorder r;
    m.Fields(r);
    for (const auto& [key, kind] : r.keys) EXPECT_EQ(SkinKeyType(key), kind) << word << "." << key;
  };
  for (const std::string& w : SkinObjectTypes()) check(*CreateSkinObject(w, "m"), w);
  for (const std::string& w : SkinControlTypes()) check(*CreateSkinControl(w, "m"), w);
  EXPECT_EQ(SkinObjectTypes().size(), 8u);
  EXPECT_EQ(SkinControlTypes().size(), 28u);
}

std::vector<std::string> KeysOf(TskDataSkinMember& m) {
  KindRecorder r;
  m.Fields(r);
  std::vector<std::string> out;
  for (auto& k : r.keys) out.push_back(k.first);
  return out;
}

TEST(MemberClasses, ReadingOrder) {
  auto stdButton = CreateSkinObject("stdbutton", "closebutton");
  EXPECT_EQ(KeysOf(*stdButton),
            (std::vector<std::string>{"hint", "activepictureindex", "skinrectinapicture", "skinrect", "activeskinrect",
                                      "inactiveskinrect", "morphing", "morphkind", "downrect", "disableskinrsect",
                                      "command", "restorerect", "restoreactiverect", "restoredownrect",
                                      "restoreinactiverect"}));
  auto user = CreateSkinObject("userobject", "u");
  EXPECT_EQ(KeysOf(*user), std::vector<std::string>{"skinrect"});
  auto menuButton = CreateSkinControl("menubutton", "mb");
  auto keys = KeysOf(*menuButton);
  ASSERT_EQ(keys.size(), 3u + 5u + 12u + 1u);
  EXPECT_EQ(keys[3], "lefttoppoint");
  EXPECT_EQ(keys.back(), "trackbuttonrect");
  auto stdLabel = CreateSkinControl("stdlabel", "l");
  EXPECT_EQ(KeysOf(*stdLabel).size(), 3u + 5u);  // no corner points: its base is the plain control
}

TEST(MemberClasses, DefaultsWhenKeysAreMissing) {
  const TskIniText ini = Ini("[x]\n");
  auto label = CreateSkinControl("stdlabel", "x");
  label->ReadSection(ini);
  auto* l = static_cast<TskDataSkinStdLabelControl*>(label.get());
  EXPECT_EQ(l->ActiveFontColor, 16711680);
  EXPECT_EQ(l->FontName, "Arial");
  EXPECT_EQ(l->FontHeight, 14);
  EXPECT_EQ(l->PictureIndex, -1);
  auto list = CreateSkinControl("listbox", "x");
  list->ReadSection(ini);
  auto* lb = static_cast<TskDataSkinListBox*>(list.get());
  EXPECT_EQ(lb->VScrollBarName, "vscrollbar");
  EXPECT_EQ(lb->HScrollBarName, "hscrollbar");
  EXPECT_EQ(lb->BothScrollBarName, "bothhscrollbar");
  auto anim = CreateSkinObject("animate", "x");
  anim->ReadSection(ini);
  auto* a = static_cast<TskDataSkinAnimate*>(anim.get());
  EXPECT_EQ(a->CountFrames, 1);
  EXPECT_EQ(a->TimerInterval, 50);
  EXPECT_EQ(a->Command, SkinCommand::cmdefault);
}

TEST(MemberClasses, UserObjectReadsOnlyItsRectangle) {
  const TskIniText ini = Ini("[u]\nhint=Hello\nactivepictureindex=3\nskinrect=1,2,3,4\nmorphing=1\n");
  auto user = CreateSkinObject("userobject", "u");
  user->ReadSection(ini);
  EXPECT_EQ(user->Hint, "");
  EXPECT_EQ(user->ActivePictureIndex, -1);
  EXPECT_EQ(user->SkinRect, TRect(1, 2, 3, 4));
  EXPECT_FALSE(user->Morphing);
}

TEST(MemberClasses, AnimateNeverMorphs) {
  const TskIniText ini = Ini("[a]\nmorphing=1\nmorphkind=mkpush\ncountframes=8\n");
  auto anim = CreateSkinObject("animate", "a");
  anim->ReadSection(ini);
  EXPECT_FALSE(anim->Morphing);
  EXPECT_EQ(anim->MorphKind, SkinMorphKind::mkpush);
  EXPECT_EQ(static_cast<TskDataSkinAnimate*>(anim.get())->CountFrames, 8);
}

TEST(MemberClasses, UpDownDropsItsFrame) {
  const TskIniText ini = Ini("[ud]\nlefttoppoint=3,4\nrightbottompoint=9,9\nclientrect=1,1,5,5\nupbuttonrect=0,0,10,8\n");
  auto c = CreateSkinControl("updown", "ud");
  c->ReadSection(ini);
  auto* ud = static_cast<TskDataSkinUpDownControl*>(c.get());
  EXPECT_EQ(ud->LTPoint, TPoint());
  EXPECT_EQ(ud->RBPoint, TPoint());
  EXPECT_EQ(ud->ClRect, TRect());
  EXPECT_EQ(ud->UpButtonRect, TRect(0, 0, 10, 8));
}

TEST(MemberClasses, MalformedRectangleStopsTheRead) {
  const TskIniText ini = Ini("[c]\nhint=first\nskinrect=1,2,3\nmorphing=1\n");
  auto cap = CreateSkinObject("caption", "c");
  EXPECT_THROW(cap->ReadSection(ini), EConvertError);
  EXPECT_EQ(cap->Hint, "first");     // read before the bad key
  EXPECT_FALSE(cap->Morphing);       // not reached
}

TEST(WrittenForm, RoundTripThroughWriteSection) {
  const TskIniText in = Ini(
      "[cap]\nhint=Title\nactivepictureindex=2\nskinrectinapicture=1\nskinrect=1,2,30,40\n"
      "morphing=1\nmorphkind=mkleftgradient\nfontstyle=fsitalic fsbold\nalignment=taleftjustify\n"
      "fontcolor=16777215\nshadow=1\nframeleftoffset=-3\nstray=ignored\n");
  auto cap = CreateSkinObject("caption", "cap");
  cap->ReadSection(in);
  TskIniText out = Ini("[cap]\nstray=gone\n[other]\nk=v\n");
  cap->WriteSection(out);
  EXPECT_FALSE(out.ValueExists("cap", "stray"));  // the section was erased first
  EXPECT_EQ(out.ReadString("other", "k", ""), "v");
  EXPECT_EQ(out.ReadString("cap", "skinrect", ""), "1,2,30,40");
  EXPECT_EQ(out.ReadString("cap", "fontstyle", ""), "fsbold,fsitalic");
  EXPECT_EQ(out.ReadString("cap", "alignment", ""), "taleftjustify");
  EXPECT_EQ(out.ReadString("cap", "morphkind", ""), "mkleftgradient");
  EXPECT_EQ(out.ReadString("cap", "skinrectinapicture", ""), "1");
  EXPECT_EQ(out.ReadString("cap", "shadow", ""), "1");
  EXPECT_EQ(out.ReadString("cap", "activefontcolor", ""), "0");
  auto back = CreateSkinObject("caption", "cap");
  back->ReadSection(out);
  auto* a = static_cast<TskDataSkinCaption*>(cap.get());
  auto* b = static_cast<TskDataSkinCaption*>(back.get());
  EXPECT_EQ(b->Hint, a->Hint);
  EXPECT_EQ(b->SkinRect, a->SkinRect);
  EXPECT_EQ(b->FontStyle, a->FontStyle);
  EXPECT_EQ(b->FontColor, 16777215);
  EXPECT_EQ(b->FrameLeftOffset, -3);
  EXPECT_EQ(b->Alignment, TAlignment::taLeftJustify);
  // The written text reads back the same after a trip through lines.
  TskIniText again(out.Lines());
  EXPECT_EQ(again.ReadString("cap", "morphkind", ""), "mkleftgradient");
}

TEST(WindowData, PopupAndHintDefaults) {
  TskDataSkinHintWindow hint;
  EXPECT_EQ(hint.FontName, "Arial");
  EXPECT_EQ(hint.FontHeight, 12);
  EXPECT_EQ(hint.WindowPictureIndex, -1);
  hint.ReadSection(Ini("[HINTWINDOW]\nwindowpictureindex=3\n"));
  EXPECT_EQ(hint.FontHeight, 14);  // the reader's default
  EXPECT_EQ(hint.WindowPictureIndex, 3);
  TskDataSkinPopupWindow popup;
  popup.ReadSection(Ini("[popupwindow]\nitemsrect=14,3,84,76\nscrollmarkercolor=255\n"));
  EXPECT_EQ(popup.ItemsRect, TRect(14, 3, 84, 76));
  EXPECT_EQ(popup.ScrollMarkerColor, 255);
  EXPECT_EQ(popup.WindowPictureIndex, -1);
}

}  // namespace
}  // namespace corvane
