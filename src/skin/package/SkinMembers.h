// Data classes of the skin description: one instance per member of [SKINOBJECTS] and
// [SKINCONTROLS], plus the popup-window and hint-window data. Each class lists its keys once, in
// reading order, with the field that receives each one; reading and writing a section walk that
// list (the base class's keys first).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "skin/package/SkinIni.h"

namespace corvane {

// Field types by kind of key.
using SkT_String = std::string;
using SkT_Integer = int;
using SkT_PictureIndex = int;
using SkT_Color = TColor;
using SkT_Boolean = bool;
using SkT_Rect = TRect;
using SkT_Point = TPoint;
using SkT_FontName = std::string;
using SkT_FontHeight = int;
using SkT_FontStyle = TFontStyles;
using SkT_Alignment = TAlignment;
using SkT_MorphKind = SkinMorphKind;
using SkT_Command = SkinCommand;

// Walks a class's keys. `def` is the key's default (what reading a missing key gives).
class TskFieldVisitor {
 public:
  virtual ~TskFieldVisitor() = default;
  virtual void String(const char* key, std::string& v, const std::string& def) = 0;
  virtual void Integer(const char* key, int& v, int def) = 0;
  virtual void PictureIndex(const char* key, int& v, int def) = 0;
  virtual void Color(const char* key, TColor& v, TColor def) = 0;
  virtual void Boolean(const char* key, bool& v, bool def) = 0;
  virtual void Rect(const char* key, TRect& v, TRect def) = 0;
  virtual void Point(const char* key, TPoint& v, TPoint def) = 0;
  virtual void FontName(const char* key, std::string& v, const std::string& def) = 0;
  virtual void FontHeight(const char* key, int& v, int def) = 0;
  virtual void FontStyle(const char* key, TFontStyles& v, TFontStyles def) = 0;
  virtual void Alignment(const char* key, TAlignment& v, TAlignment def) = 0;
  virtual void MorphKind(const char* key, SkinMorphKind& v, SkinMorphKind def) = 0;
  virtual void Command(const char* key, SkinCommand& v, SkinCommand def) = 0;
};

// Reads every visited key of `section` from the description.
class TskSectionReader : public TskFieldVisitor {
 public:
  TskSectionReader(const TskIniText& ini, std::string section) : ini_(ini), section_(std::move(section)) {}
  void String(const char* k, std::string& v, const std::string& d) override { v = ini_.ReadString(section_, k, d); }
  void Integer(const char* k, int& v, int d) override { v = ini_.ReadInteger(section_, k, d); }
  void PictureIndex(const char* k, int& v, int d) override { v = ini_.ReadInteger(section_, k, d); }
  void Color(const char* k, TColor& v, TColor d) override { v = ini_.ReadColor(section_, k, d); }
  void Boolean(const char* k, bool& v, bool d) override { v = ini_.ReadBool(section_, k, d); }
  void Rect(const char* k, TRect& v, TRect) override { v = ini_.ReadRect(section_, k); }
  void Point(const char* k, TPoint& v, TPoint) override { v = ini_.ReadPoint(section_, k); }
  void FontName(const char* k, std::string& v, const std::string& d) override { v = ini_.ReadString(section_, k, d); }
  void FontHeight(const char* k, int& v, int d) override { v = ini_.ReadInteger(section_, k, d); }
  void FontStyle(const char* k, TFontStyles& v, TFontStyles) override { v = ini_.ReadFontStyle(section_, k); }
  void Alignment(const char* k, TAlignment& v, TAlignment) override { v = ini_.ReadAlignment(section_, k); }
  void MorphKind(const char* k, SkinMorphKind& v, SkinMorphKind) override { v = ini_.ReadMorphKind(section_, k); }
  void Command(const char* k, SkinCommand& v, SkinCommand) override { v = ini_.ReadCommand(section_, k); }

 private:
  const TskIniText& ini_;
  std::string section_;
};

// Writes every visited key into `section` in the written form.
class TskSectionWriter : public TskFieldVisitor {
 public:
  TskSectionWriter(TskIniText& ini, std::string section) : ini_(ini), section_(std::move(section)) {}
  void String(const char* k, std::string& v, const std::string&) override { ini_.WriteString(section_, k, v); }
  void Integer(const char* k, int& v, int) override { ini_.WriteInteger(section_, k, v); }
  void PictureIndex(const char* k, int& v, int) override { ini_.WriteInteger(section_, k, v); }
  void Color(const char* k, TColor& v, TColor) override { ini_.WriteInteger(section_, k, v); }
  void Boolean(const char* k, bool& v, bool) override { ini_.WriteBool(section_, k, v); }
  void Rect(const char* k, TRect& v, TRect) override { ini_.WriteRect(section_, k, v); }
  void Point(const char* k, TPoint& v, TPoint) override { ini_.WritePoint(section_, k, v); }
  void FontName(const char* k, std::string& v, const std::string&) override { ini_.WriteString(section_, k, v); }
  void FontHeight(const char* k, int& v, int) override { ini_.WriteInteger(section_, k, v); }
  void FontStyle(const char* k, TFontStyles& v, TFontStyles) override { ini_.WriteFontStyle(section_, k, v); }
  void Alignment(const char* k, TAlignment& v, TAlignment) override { ini_.WriteAlignment(section_, k, v); }
  void MorphKind(const char* k, SkinMorphKind& v, SkinMorphKind) override { ini_.WriteMorphKind(section_, k, v); }
  void Command(const char* k, SkinCommand& v, SkinCommand) override { ini_.WriteCommand(section_, k, v); }

 private:
  TskIniText& ini_;
  std::string section_;
};

// Field lists: X(kind, field, "key", default). The macros below declare the fields and walk them.
#define SK_DECLARE_FIELD(kind, field, key, def) SkT_##kind field = def;
#define SK_VISIT_FIELD(kind, field, key, def) v.kind(key, field, def);
#define SK_FONT_FIELDS(X)                           \
  X(FontName, FontName, "fontname", "Arial")        \
  X(FontHeight, FontHeight, "fontheight", 14)       \
  X(FontStyle, FontStyle, "fontstyle", 0)           \
  X(Color, FontColor, "fontcolor", 0)
#define SK_CORNER_FIELDS(X)                         \
  X(Point, LTPoint, "lefttoppoint", {})             \
  X(Point, RTPoint, "righttoppoint", {})            \
  X(Point, LBPoint, "leftbottompoint", {})          \
  X(Point, RBPoint, "rightbottompoint", {})
#define SK_STRETCH_FIELDS(X)                        \
  X(Boolean, LeftStretch, "leftstretch", false)     \
  X(Boolean, RightStretch, "rightstretch", false)   \
  X(Boolean, TopStretch, "topstretch", false)       \
  X(Boolean, BottomStretch, "bottomstretch", false)

// Declares a data class `name` deriving from `base` whose own keys are FIELDS(X).
#define SK_DATA_CLASS(name, base, FIELDS)                                        \
  class name : public base {                                                     \
   public:                                                                       \
    using base::base;                                                            \
    std::string ClassName() const override { return #name; }                     \
    void Fields(TskFieldVisitor& v) override { base::Fields(v); FIELDS(SK_VISIT_FIELD) } \
    FIELDS(SK_DECLARE_FIELD)                                                     \
  };

// ---------------------------------------------------------------------------------------------
// Popup window and hint window data ([POPUPWINDOW], [HINTWINDOW]).

#define SK_POPUPWINDOW_FIELDS(X)                           \
  X(PictureIndex, WindowPictureIndex, "windowpictureindex", -1) \
  X(PictureIndex, MaskPictureIndex, "maskpictureindex", -1)     \
  SK_CORNER_FIELDS(X)                                      \
  X(Rect, ItemsRect, "itemsrect", {})                      \
  X(Color, ScrollMarkerColor, "scrollmarkercolor", 0)      \
  X(Color, ScrollMarkerActiveColor, "scrollmarkeractivecolor", 0) \
  SK_STRETCH_FIELDS(X)

class TskDataSkinPopupWindow {
 public:
  void Fields(TskFieldVisitor& v) { SK_POPUPWINDOW_FIELDS(SK_VISIT_FIELD) }
  void ReadSection(const TskIniText& ini) { TskSectionReader r(ini, "POPUPWINDOW"); Fields(r); }
  void WriteSection(TskIniText& ini) { ini.EraseSection("POPUPWINDOW"); TskSectionWriter w(ini, "POPUPWINDOW"); Fields(w); }
  SK_POPUPWINDOW_FIELDS(SK_DECLARE_FIELD)
};

#define SK_HINTWINDOW_FIELDS(X)                                 \
  X(PictureIndex, WindowPictureIndex, "windowpictureindex", -1) \
  X(PictureIndex, MaskPictureIndex, "maskpictureindex", -1)     \
  SK_CORNER_FIELDS(X)                                           \
  X(Rect, ClRect, "clientrect", {})                             \
  SK_FONT_FIELDS(X)                                             \
  SK_STRETCH_FIELDS(X)

class TskDataSkinHintWindow {
 public:
  TskDataSkinHintWindow() { FontHeight = 12; }  // until a skin is read
  void Fields(TskFieldVisitor& v) { SK_HINTWINDOW_FIELDS(SK_VISIT_FIELD) }
  void ReadSection(const TskIniText& ini) { TskSectionReader r(ini, "HINTWINDOW"); Fields(r); }
  void WriteSection(TskIniText& ini) { ini.EraseSection("HINTWINDOW"); TskSectionWriter w(ini, "HINTWINDOW"); Fields(w); }
  SK_HINTWINDOW_FIELDS(SK_DECLARE_FIELD)
};

// ---------------------------------------------------------------------------------------------
// Members: the common base of objects and controls.
class TskDataSkinMember {
 public:
  explicit TskDataSkinMember(std::string idName) : IDName(std::move(idName)) {}
  virtual ~TskDataSkinMember() = default;
  virtual std::string ClassName() const = 0;
  // Reads the class's keys from the member's section, the base class's keys first.
  virtual void ReadSection(const TskIniText& ini) { TskSectionReader r(ini, IDName); Fields(r); }
  // Erases the member's section, then writes every key the class reads.
  virtual void WriteSection(TskIniText& ini) {
    ini.EraseSection(IDName);
    TskSectionWriter w(ini, IDName);
    Fields(w);
  }
  // Visits the keys in reading order.
  virtual void Fields(TskFieldVisitor& v) = 0;

  std::string IDName;  // the member name, which is also its section name
};

// Skin objects ([SKINOBJECTS]).
#define SK_OBJECT_FIELDS(X)                                    \
  X(String, Hint, "hint", "")                                  \
  X(PictureIndex, ActivePictureIndex, "activepictureindex", -1) \
  X(Boolean, SkinRectInAPicture, "skinrectinapicture", false)  \
  X(Rect, SkinRect, "skinrect", {})                            \
  X(Rect, ActiveSkinRect, "activeskinrect", {})                \
  X(Rect, InActiveSkinRect, "inactiveskinrect", {})            \
  X(Boolean, Morphing, "morphing", false)                      \
  X(MorphKind, MorphKind, "morphkind", SkinMorphKind::mkdefault)

class TskDataSkinObject : public TskDataSkinMember {
 public:
  using TskDataSkinMember::TskDataSkinMember;
  std::string ClassName() const override { return "TskDataSkinObject"; }
  void Fields(TskFieldVisitor& v) override { SK_OBJECT_FIELDS(SK_VISIT_FIELD) }
  SK_OBJECT_FIELDS(SK_DECLARE_FIELD)
};

// An area of the frame reported to the application: only its rectangle is read.
class TskDataUserObject : public TskDataSkinObject {
 public:
  using TskDataSkinObject::TskDataSkinObject;
  std::string ClassName() const override { return "TskDataUserObject"; }
  void Fields(TskFieldVisitor& v) override { v.Rect("skinrect", SkinRect, {}); }
};

#define SK_BUTTON_FIELDS(X)                 \
  X(Rect, DownRect, "downrect", {})         \
  X(Rect, DisableSkinRect, "disableskinrsect", {})
SK_DATA_CLASS(TskDataSkinButton, TskDataSkinObject, SK_BUTTON_FIELDS)

#define SK_STDBUTTON_FIELDS(X)                                \
  X(Command, Command, "command", SkinCommand::cmdefault)      \
  X(Rect, RestoreRect, "restorerect", {})                     \
  X(Rect, RestoreActiveRect, "restoreactiverect", {})         \
  X(Rect, RestoreDownRect, "restoredownrect", {})             \
  X(Rect, RestoreInActiveRect, "restoreinactiverect", {})
SK_DATA_CLASS(TskDataSkinStdButton, TskDataSkinButton, SK_STDBUTTON_FIELDS)

#define SK_NO_FIELDS(X)
SK_DATA_CLASS(TskDataSkinMainMenuBarButton, TskDataSkinStdButton, SK_NO_FIELDS)

#define SK_ANIMATE_FIELDS(X)                          \
  X(Integer, CountFrames, "countframes", 1)           \
  X(Boolean, Cycle, "cycle", false)                   \
  X(Boolean, ButtonStyle, "buttonstyle", false)       \
  X(Integer, TimerInterval, "timerinterval", 50)      \
  X(Command, Command, "command", SkinCommand::cmdefault)
class TskDataSkinAnimate : public TskDataSkinObject {
 public:
  using TskDataSkinObject::TskDataSkinObject;
  std::string ClassName() const override { return "TskDataSkinAnimate"; }
  void Fields(TskFieldVisitor& v) override { TskDataSkinObject::Fields(v); SK_ANIMATE_FIELDS(SK_VISIT_FIELD) }
  // Animations never cross-fade.
  void ReadSection(const TskIniText& ini) override { TskDataSkinObject::ReadSection(ini); Morphing = false; }
  SK_ANIMATE_FIELDS(SK_DECLARE_FIELD)
};

#define SK_MENUITEM_FIELDS(X)                              \
  X(Integer, ItemLeftOffset, "itemleftoffset", 0)          \
  X(Integer, ItemRightOffset, "itemrightoffset", 0)        \
  X(Rect, DividerRect, "dividerrect", {})                  \
  X(Integer, DividerLeftOffset, "dividerleftoffset", 0)    \
  X(Integer, DividerRightOffset, "dividerrightoffset", 0)  \
  X(Rect, TextRect, "textrect", {})                         \
  SK_FONT_FIELDS(X)                                        \
  X(Color, ActiveFontColor, "activefontcolor", 0)          \
  X(Color, UnEnabledFontColor, "unenabledfontcolor", 0)
SK_DATA_CLASS(TskDataSkinMenuItem, TskDataSkinObject, SK_MENUITEM_FIELDS)

SK_DATA_CLASS(TskDataSkinMainMenuItem, TskDataSkinObject, SK_NO_FIELDS)

#define SK_MAINMENUBARITEM_FIELDS(X)                      \
  X(Integer, ItemLeftOffset, "itemleftoffset", 0)         \
  X(Integer, ItemRightOffset, "itemrightoffset", 0)       \
  X(Rect, DownRect, "downrect", {})                       \
  X(Rect, TextRect, "textrect", {})                        \
  SK_FONT_FIELDS(X)                                       \
  X(Color, ActiveFontColor, "activefontcolor", 0)         \
  X(Color, DownFontColor, "downfontcolor", 0)             \
  X(Color, UnEnabledFontColor, "unenabledfontColor", 0)
SK_DATA_CLASS(TskDataSkinMainMenuBarItem, TskDataSkinMainMenuItem, SK_MAINMENUBARITEM_FIELDS)

#define SK_CAPTION_FIELDS(X)                                    \
  X(Rect, TextRect, "textrect", {})                              \
  SK_FONT_FIELDS(X)                                             \
  X(Color, ActiveFontColor, "activefontcolor", 0)               \
  X(Alignment, Alignment, "alignment", TAlignment::taCenter)    \
  X(Boolean, Shadow, "shadow", false)                           \
  X(Color, ShadowColor, "shadowcolor", 0)                       \
  X(Color, ActiveShadowColor, "activeshadowcolor", 0)           \
  X(Rect, FrameRect, "framerect", {})                           \
  X(Rect, ActiveFrameRect, "activeframerect", {})               \
  X(Rect, FrameTextRect, "frametextrect", {})                   \
  X(Integer, FrameLeftOffset, "frameleftoffset", 0)             \
  X(Integer, FrameRightOffset, "framerightoffset", 0)
SK_DATA_CLASS(TskDataSkinCaption, TskDataSkinObject, SK_CAPTION_FIELDS)

// ---------------------------------------------------------------------------------------------
// Skin controls ([SKINCONTROLS]).
#define SK_CONTROL_FIELDS(X)                                  \
  X(PictureIndex, PictureIndex, "pictureindex", -1)           \
  X(PictureIndex, MaskPictureIndex, "maskpictureindex", -1)   \
  X(Rect, SkinRect, "skinrect", {})

class TskDataSkinControl : public TskDataSkinMember {
 public:
  using TskDataSkinMember::TskDataSkinMember;
  std::string ClassName() const override { return "TskDataSkinControl"; }
  void Fields(TskFieldVisitor& v) override { SK_CONTROL_FIELDS(SK_VISIT_FIELD) }
  SK_CONTROL_FIELDS(SK_DECLARE_FIELD)
};

#define SK_CUSTOM_FIELDS(X) SK_CORNER_FIELDS(X) X(Rect, ClRect, "clientrect", {})
SK_DATA_CLASS(TskDataSkinCustomControl, TskDataSkinControl, SK_CUSTOM_FIELDS)

#define SK_PANEL_FIELDS(X)                                      \
  X(PictureIndex, BGPictureIndex, "bgpictureindex", -1)         \
  X(Rect, CaptionRect, "captionrect", {})                       \
  X(Alignment, Alignment, "alignment", TAlignment::taCenter)    \
  SK_FONT_FIELDS(X)                                             \
  X(Rect, CheckImageRect, "checkimagerect", {})                 \
  X(Rect, UnCheckImageRect, "uncheckimagerect", {})
SK_DATA_CLASS(TskDataSkinPanelControl, TskDataSkinCustomControl, SK_PANEL_FIELDS)

#define SK_EXPANEL_FIELDS(X)                                          \
  X(Rect, RollHSkinRect, "rollhskinrect", {})                         \
  X(Rect, RollVSkinRect, "rollvskinrect", {})                         \
  X(Integer, RollLeftOffset, "rollleftoffset", 0)                     \
  X(Integer, RollRightOffset, "rollrightoffset", 0)                   \
  X(Integer, RollTopOffset, "rolltopoffset", 0)                       \
  X(Integer, RollBottomOffset, "rollbottomoffset", 0)                 \
  X(Rect, RollVCaptionRect, "rollvcaptionrect", {})                   \
  X(Rect, RollHCaptionRect, "rollhcaptionrect", {})                   \
  X(Rect, CloseButtonRect, "closebuttonrect", {})                     \
  X(Rect, CloseButtonActiveRect, "closebuttonactiverect", {})         \
  X(Rect, CloseButtonDownRect, "closebuttondownrect", {})             \
  X(Rect, HRollButtonRect, "hrollbuttonrect", {})                     \
  X(Rect, HRollButtonActiveRect, "hrollbuttonactiverect", {})         \
  X(Rect, HRollButtonDownRect, "hrollbuttondownrect", {})             \
  X(Rect, HRestoreButtonRect, "hrestorebuttonrect", {})               \
  X(Rect, HRestoreButtonActiveRect, "hrestorebuttonactiverect", {})   \
  X(Rect, HRestoreButtonDownRect, "hrestorebuttondownrect", {})       \
  X(Rect, VRollButtonRect, "vrollbuttonrect", {})                     \
  X(Rect, VRollButtonActiveRect, "vrollbuttonactiverect", {})         \
  X(Rect, VRollButtonDownRect, "vrollbuttondownrect", {})             \
  X(Rect, VRestoreButtonRect, "vrestorebuttonrect", {})               \
  X(Rect, VRestoreButtonActiveRect, "vrestorebuttonactiverect", {})   \
  X(Rect, VRestoreButtonDownRect, "vrestorebuttondownrect", {})       \
  X(Rect, CaptionRect, "captionrect", {})                             \
  SK_FONT_FIELDS(X)
SK_DATA_CLASS(TskDataSkinExPanelControl, TskDataSkinCustomControl, SK_EXPANEL_FIELDS)

#define SK_BUTTONCONTROL_FIELDS(X)                          \
  SK_FONT_FIELDS(X)                                         \
  X(Color, ActiveFontColor, "activefontcolor", 0)           \
  X(Color, DownFontColor, "downfontcolor", 0)               \
  X(Color, DisabledFontColor, "disabledfontcolor", 0)       \
  X(Rect, ActiveSkinRect, "activeskinrect", {})             \
  X(Rect, DownSkinRect, "downskinrect", {})                 \
  X(Rect, DisabledSkinRect, "disabledskinrect", {})         \
  X(Boolean, Morphing, "morphing", false)                   \
  X(MorphKind, MorphKind, "morphkind", SkinMorphKind::mkdefault)
SK_DATA_CLASS(TskDataSkinButtonControl, TskDataSkinCustomControl, SK_BUTTONCONTROL_FIELDS)

#define SK_MENUBUTTON_FIELDS(X) X(Rect, TrackButtonRect, "trackbuttonrect", {})
SK_DATA_CLASS(TskDataSkinMenuButtonControl, TskDataSkinButtonControl, SK_MENUBUTTON_FIELDS)

#define SK_CHECKRADIO_FIELDS(X)                                         \
  SK_FONT_FIELDS(X)                                                     \
  X(Color, ActiveFontColor, "activefontcolor", 0)                       \
  X(Color, UnEnabledFontColor, "unenabledfontcolor", 0)                 \
  X(Color, FrameFontColor, "framefontcolor", 0)                         \
  X(Rect, ActiveSkinRect, "activeskinrect", {})                         \
  X(Rect, CheckImageArea, "checkimagearea", {})                         \
  X(Rect, TextArea, "textarea", {})                                     \
  X(Rect, CheckImageRect, "checkimagerect", {})                         \
  X(Rect, UnCheckImageRect, "uncheckimagerect", {})                     \
  X(Rect, ActiveCheckImageRect, "activecheckimagerect", {})             \
  X(Rect, ActiveUnCheckImageRect, "activeuncheckimagerect", {})         \
  X(Rect, UnEnabledCheckImageRect, "unenabledcheckimagerect", {})       \
  X(Rect, UnEnabledUnCheckImageRect, "unenableduncheckimagerect", {})   \
  X(Boolean, Morphing, "morphing", false)                               \
  X(MorphKind, MorphKind, "morphkind", SkinMorphKind::mkdefault)
SK_DATA_CLASS(TskDataSkinCheckRadioControl, TskDataSkinCustomControl, SK_CHECKRADIO_FIELDS)

#define SK_GAUGE_FIELDS(X)                          \
  X(Rect, ProgressArea, "progressarea", {})         \
  X(Rect, ProgressRect, "progressrect", {})         \
  X(Integer, BeginOffset, "beginoffset", 0)         \
  X(Integer, EndOffset, "endoffset", 0)             \
  X(Boolean, Vertical, "vertical", false)           \
  SK_FONT_FIELDS(X)
SK_DATA_CLASS(TskDataSkinGaugeControl, TskDataSkinCustomControl, SK_GAUGE_FIELDS)

SK_DATA_CLASS(TskDataSkinSplitterControl, TskDataSkinCustomControl, SK_NO_FIELDS)

#define SK_TRACKBAR_FIELDS(X)                           \
  X(Rect, TrackArea, "trackarea", {})                   \
  X(Rect, ButtonRect, "buttonrect", {})                 \
  X(Rect, ActiveButtonRect, "activebuttonrect", {})     \
  X(Boolean, Vertical, "vertical", false)
SK_DATA_CLASS(TskDataSkinTrackBarControl, TskDataSkinCustomControl, SK_TRACKBAR_FIELDS)

#define SK_LABEL_FIELDS(X) SK_FONT_FIELDS(X)
SK_DATA_CLASS(TskDataSkinLabelControl, TskDataSkinCustomControl, SK_LABEL_FIELDS)

#define SK_STDLABEL_FIELDS(X) SK_FONT_FIELDS(X) X(Color, ActiveFontColor, "activefontcolor", 16711680)
SK_DATA_CLASS(TskDataSkinStdLabelControl, TskDataSkinControl, SK_STDLABEL_FIELDS)

#define SK_UPDOWN_FIELDS(X)                                 \
  X(Rect, UpButtonRect, "upbuttonrect", {})                 \
  X(Rect, ActiveUpButtonRect, "activeupbuttonrect", {})     \
  X(Rect, DownUpButtonRect, "downupbuttonrect", {})         \
  X(Rect, DownButtonRect, "downbuttonrect", {})             \
  X(Rect, ActiveDownButtonRect, "activedownbuttonrect", {}) \
  X(Rect, DownDownButtonRect, "downdownbuttonrect", {})
class TskDataSkinUpDownControl : public TskDataSkinCustomControl {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string ClassName() const override { return "TskDataSkinUpDownControl"; }
  void Fields(TskFieldVisitor& v) override { TskDataSkinCustomControl::Fields(v); SK_UPDOWN_FIELDS(SK_VISIT_FIELD) }
  // An up-down control has no frame of its own: its corner points and client area are dropped.
  void ReadSection(const TskIniText& ini) override {
    TskDataSkinCustomControl::ReadSection(ini);
    LTPoint = RTPoint = LBPoint = RBPoint = TPoint();
    ClRect = TRect();
  }
  SK_UPDOWN_FIELDS(SK_DECLARE_FIELD)
};

#define SK_GRID_FIELDS(X)                                       \
  X(Rect, FixedCellRect, "fixedcellrect", {})                   \
  X(Rect, SelectCellRect, "selectcellrect", {})                 \
  X(Rect, FocusCellRect, "focuscellrect", {})                   \
  X(Integer, FixedCellLeftOffset, "fixedcellleftoffset", 0)     \
  X(Integer, FixedCellRightOffset, "fixedcellrightoffset", 0)   \
  X(Rect, FixedCellTextRect, "fixedcelltextrect", {})           \
  X(Integer, CellLeftOffset, "cellleftoffset", 0)               \
  X(Integer, CellRightOffset, "cellrightoffset", 0)             \
  X(Rect, CellTextRect, "celltextrect", {})                     \
  X(Color, LinesColor, "linescolor", 0)                         \
  X(Color, BGColor, "bgcolor", 0)                               \
  SK_FONT_FIELDS(X)                                             \
  X(Color, SelectFontColor, "selectfontcolor", 0)               \
  X(Color, FocusFontColor, "focusfontcolor", 0)                 \
  X(FontName, FixedFontName, "fixedfontname", "Arial")          \
  X(FontHeight, FixedFontHeight, "fixedfontheight", 14)         \
  X(FontStyle, FixedFontStyle, "fixedfontstyle", 0)             \
  X(Color, FixedFontColor, "fixedfontcolor", 0)
SK_DATA_CLASS(TskDataSkinGridControl, TskDataSkinControl, SK_GRID_FIELDS)

#define SK_TAB_FIELDS(X)                                  \
  X(Rect, TabRect, "tabrect", {})                         \
  X(Rect, ActiveTabRect, "activetabrect", {})             \
  X(Rect, FocusTabRect, "focustabrect", {})               \
  X(Rect, MouseInTabRect, "mouseintabrect", {})           \
  X(Rect, ClRect, "clientrect", {})                       \
  X(PictureIndex, BGPictureIndex, "bgpictureindex", -1)   \
  SK_CORNER_FIELDS(X)                                     \
  X(Integer, TabLeftOffset, "tableftoffset", 0)           \
  X(Integer, TabRightOffset, "tabrightoffset", 0)         \
  X(Rect, TabsBGRect, "tabsbgrect", {})                   \
  SK_FONT_FIELDS(X)                                       \
  X(Color, ActiveFontColor, "activefontcolor", 0)         \
  X(Color, FocusFontColor, "focusfontcolor", 0)           \
  X(Color, MouseInFontColor, "mouseinfontcolor", 0)       \
  X(String, UpDown, "updown", "")
SK_DATA_CLASS(TskDataSkinTabControl, TskDataSkinControl, SK_TAB_FIELDS)

#define SK_MAINMENUBAR_FIELDS(X)                              \
  X(Rect, ItemsRect, "itemsrect", {})                         \
  X(String, MenuBarItem, "menubaritem", "")                   \
  X(String, CloseButton, "closebutton", "")                   \
  X(String, MinButton, "minbutton", "")                       \
  X(String, MaxButton, "maxbutton", "")                       \
  X(String, SysMenuButton, "sysmenubutton", "")               \
  X(Color, TrackMarkColor, "trackmarkcolor", 0)               \
  X(Color, TrackMarkActiveColor, "trackmarkactivecolor", 0)
SK_DATA_CLASS(TskDataSkinMainMenuBar, TskDataSkinControl, SK_MAINMENUBAR_FIELDS)

#define SK_CONTROLBAR_FIELDS(X)                           \
  X(Rect, ItemRect, "itemrect", {})                       \
  X(PictureIndex, BGPictureIndex, "bgpictureindex", -1)
SK_DATA_CLASS(TskDataSkinControlBar, TskDataSkinCustomControl, SK_CONTROLBAR_FIELDS)

#define SK_EDIT_FIELDS(X)                                         \
  X(Rect, ActiveSkinRect, "activeskinrect", {})                   \
  SK_FONT_FIELDS(X)                                               \
  X(Color, DisabledFontColor, "disabledfontcolor", 0)             \
  X(Color, ActiveFontColor, "activefontcolor", 0)                 \
  X(Rect, ButtonRect, "buttonrect", {})                           \
  X(Rect, ActiveButtonRect, "activebuttonrect", {})               \
  X(Rect, DownButtonRect, "downbuttonrect", {})                   \
  X(Rect, UnEnabledButtonRect, "unenabledbuttonrect", {})
SK_DATA_CLASS(TskDataSkinEditControl, TskDataSkinCustomControl, SK_EDIT_FIELDS)

#define SK_MEMO_FIELDS(X)                           \
  X(Color, BGColor, "bgcolor", 0)                   \
  X(Color, ActiveBGColor, "activebgcolor", 0)
SK_DATA_CLASS(TskDataSkinMemoControl, TskDataSkinEditControl, SK_MEMO_FIELDS)

#define SK_LISTBOX_FIELDS(X)                                      \
  X(Rect, ItemRect, "itemrect", {})                               \
  X(Rect, ActiveItemRect, "activeitemrect", {})                   \
  X(Rect, FocusItemRect, "focusitemrect", {})                     \
  X(Integer, ItemLeftOffset, "itemleftoffset", 0)                 \
  X(Integer, ItemRightOffset, "itemrightoffset", 0)               \
  X(Rect, ItemTextRect, "itemtextrect", {})                       \
  SK_FONT_FIELDS(X)                                               \
  X(Color, ActiveFontColor, "activefontcolor", 0)                 \
  X(Color, FocusFontColor, "focusfontcolor", 0)                   \
  X(Rect, CaptionRect, "captionrect", {})                         \
  X(FontName, CaptionFontName, "captionfontname", "Arial")        \
  X(FontHeight, CaptionFontHeight, "captionfontheight", 14)       \
  X(FontStyle, CaptionFontStyle, "captionfontstyle", 0)           \
  X(Color, CaptionFontColor, "captionfontcolor", 0)               \
  X(Rect, UpButtonRect, "upbuttonrect", {})                       \
  X(Rect, ActiveUpButtonRect, "activeupbuttonrect", {})           \
  X(Rect, DownUpButtonRect, "downupbuttonrect", {})               \
  X(Rect, DownButtonRect, "downbuttonrect", {})                   \
  X(Rect, ActiveDownButtonRect, "activedownbuttonrect", {})       \
  X(Rect, DownDownButtonRect, "downdownbuttonrect", {})           \
  X(Rect, CheckButtonRect, "checkbuttonrect", {})                 \
  X(Rect, ActiveCheckButtonRect, "activecheckbuttonrect", {})     \
  X(Rect, DownCheckButtonRect, "downcheckbuttonrect", {})         \
  X(String, VScrollBarName, "vscrollbarname", "vscrollbar")       \
  X(String, HScrollBarName, "hscrollbarname", "hscrollbar")       \
  X(String, BothScrollBarName, "bothhscrollbarname", "bothhscrollbar")
SK_DATA_CLASS(TskDataSkinListBox, TskDataSkinCustomControl, SK_LISTBOX_FIELDS)

#define SK_CHECKLISTBOX_FIELDS(X)                       \
  X(Rect, ItemCheckRect, "itemcheckrect", {})           \
  X(Rect, CheckImageRect, "checkimagerect", {})         \
  X(Rect, UnCheckImageRect, "uncheckimagerect", {})
SK_DATA_CLASS(TskDataSkinCheckListBox, TskDataSkinListBox, SK_CHECKLISTBOX_FIELDS)

#define SK_COMBOBOX_FIELDS(X)                                     \
  X(Rect, ItemRect, "itemrect", {})                               \
  X(Rect, FocusItemRect, "focusitemrect", {})                     \
  X(Integer, ItemLeftOffset, "itemleftoffset", 0)                 \
  X(Integer, ItemRightOffset, "itemrightoffset", 0)               \
  X(Rect, ItemTextRect, "itemtextrect", {})                       \
  SK_FONT_FIELDS(X)                                               \
  X(Color, FocusFontColor, "focusfontcolor", 0)                   \
  X(String, ListBoxName, "listboxname", "")                       \
  X(Rect, ButtonRect, "buttonrect", {})                           \
  X(Rect, ActiveButtonRect, "activebuttonrect", {})               \
  X(Rect, DownButtonRect, "downbuttonrect", {})                   \
  X(Rect, UnEnabledButtonRect, "unenabledbuttonrect", {})
SK_DATA_CLASS(TskDataSkinComboBox, TskDataSkinCustomControl, SK_COMBOBOX_FIELDS)

#define SK_SCROLLBAR_FIELDS(X)                                    \
  X(Rect, TrackArea, "trackarea", {})                             \
  X(Rect, UpButtonRect, "upbuttonrect", {})                       \
  X(Rect, ActiveUpButtonRect, "activeupbuttonrect", {})           \
  X(Rect, DownUpButtonRect, "downupbuttonrect", {})               \
  X(Rect, DownButtonRect, "downbuttonrect", {})                   \
  X(Rect, ActiveDownButtonRect, "activedownbuttonrect", {})       \
  X(Rect, DownDownButtonRect, "downdownbuttonrect", {})           \
  X(Rect, ThumbRect, "thumbrect", {})                             \
  X(Rect, ActiveThumbRect, "activethumbrect", {})                 \
  X(Rect, DownThumbRect, "downthumbrect", {})                     \
  X(Integer, ThumbOffset1, "thumboffset1", 0)                     \
  X(Integer, ThumbOffset2, "thumboffset2", 0)                     \
  X(Rect, GlyphRect, "glyphrect", {})                             \
  X(Rect, ActiveGlyphRect, "activeglyphrect", {})                 \
  X(Rect, DownGlyphRect, "downglyphrect", {})
SK_DATA_CLASS(TskDataSkinScrollBarControl, TskDataSkinCustomControl, SK_SCROLLBAR_FIELDS)

#define SK_SPINEDIT_FIELDS(X)                                     \
  X(Rect, ActiveSkinRect, "activeskinrect", {})                   \
  SK_FONT_FIELDS(X)                                               \
  X(Color, ActiveFontColor, "activefontcolor", 0)                 \
  X(Color, DisabledFontColor, "disabledfontcolor", 0)             \
  X(Rect, UpButtonRect, "upbuttonrect", {})                       \
  X(Rect, ActiveUpButtonRect, "activeupbuttonrect", {})           \
  X(Rect, DownUpButtonRect, "downupbuttonrect", {})               \
  X(Rect, DownButtonRect, "downbuttonrect", {})                   \
  X(Rect, ActiveDownButtonRect, "activedownbuttonrect", {})       \
  X(Rect, DownDownButtonRect, "downdownbuttonrect", {})
SK_DATA_CLASS(TskDataSkinSpinEditControl, TskDataSkinCustomControl, SK_SPINEDIT_FIELDS)

#define SK_SCROLLBOX_FIELDS(X) X(PictureIndex, BGPictureIndex, "bgpictureindex", -1)
SK_DATA_CLASS(TskDataSkinScrollBoxControl, TskDataSkinCustomControl, SK_SCROLLBOX_FIELDS)

#define SK_TREEVIEW_FIELDS(X) SK_FONT_FIELDS(X) X(Color, BGColor, "bgcolor", 0)
SK_DATA_CLASS(TskDataSkinTreeView, TskDataSkinControl, SK_TREEVIEW_FIELDS)
SK_DATA_CLASS(TskDataSkinListView, TskDataSkinControl, SK_TREEVIEW_FIELDS)
SK_DATA_CLASS(TskDataSkinRichEdit, TskDataSkinControl, SK_TREEVIEW_FIELDS)

#define SK_BEVEL_FIELDS(X)                          \
  X(Color, LightColor, "lightcolor", 0)             \
  X(Color, DarkColor, "darkcolor", 0)
SK_DATA_CLASS(TskDataSkinBevel, TskDataSkinControl, SK_BEVEL_FIELDS)

#define SK_SLIDER_FIELDS(X)                         \
  X(Color, BGColor, "bgcolor", 0)                   \
  X(Rect, HRulerRect, "hrulerrect", {})             \
  X(Rect, HThumbRect, "hthumbrect", {})             \
  X(Rect, VRulerRect, "vrulerrect", {})             \
  X(Rect, VThumbRect, "vthumbrect", {})             \
  X(Integer, EdgeSize, "edgesize", 0)               \
  X(Color, PointsColor, "pointscolor", 0)
SK_DATA_CLASS(TskDataSkinSlider, TskDataSkinControl, SK_SLIDER_FIELDS)

// ---------------------------------------------------------------------------------------------
// The type words of the two member lists. Unknown words give nullptr.
std::unique_ptr<TskDataSkinObject> CreateSkinObject(const std::string& type, const std::string& name);
std::unique_ptr<TskDataSkinControl> CreateSkinControl(const std::string& type, const std::string& name);
// All type words, in table order (for tools and tests).
const std::vector<std::string>& SkinObjectTypes();
const std::vector<std::string>& SkinControlTypes();

// Splits a member entry "name:type" at the first colon; no colon gives two empty texts.
void SplitMemberEntry(const std::string& entry, std::string& name, std::string& type);

}  // namespace corvane
