#include "skin/package/SkinData.h"

#include <algorithm>

#include "platform/core/Encoding.h"
#include "platform/graphics/BmpCodec.h"
#include "platform/graphics/Graphics.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/ResourceStrData.h"
#include "skin/package/SkinPackage.h"

namespace corvane {

TskFormMessenger& SkinFormMessenger() {
  static TskFormMessenger messenger;
  return messenger;
}

TskSkinData::TskSkinData(TComponent* owner)
    : TComponent(owner),
      PopupWindow(std::make_unique<TskDataSkinPopupWindow>()),
      HintWindow(std::make_unique<TskDataSkinHintWindow>()),
      Picture(std::make_unique<TBitmap>()),
      InActivePicture(std::make_unique<TBitmap>()),
      Mask(std::make_unique<TBitmap>()) {}

TskSkinData::~TskSkinData() {
  Destroying();
  IsEmpty = true;
  ClearMembers();
}

void TskSkinData::SetCompressedStoredSkin(TskCompressedStoredSkin* value) {
  if (storedSkin_ && storedSkin_ != value) RemoveFreeNotification(storedSkin_);
  storedSkin_ = value;
  if (value) FreeNotification(value);
  if (!IsDesigning() && value) ApplyStoredSkin(*value);
}

void TskSkinData::SetResourceStrData(TskResourceStrData* value) {
  if (resourceStrData_ && resourceStrData_ != value) RemoveFreeNotification(resourceStrData_);
  resourceStrData_ = value;
  if (value) FreeNotification(value);
  if (!IsDesigning()) NotifyForms(MsgSkinStringsChange);
}

void TskSkinData::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == storedSkin_) storedSkin_ = nullptr;
  if (component == resourceStrData_) resourceStrData_ = nullptr;
}

void TskSkinData::NotifyForms(unsigned message) {
  TskFormMessenger& m = SkinFormMessenger();
  if (!m.Send) return;
  auto send = [&](TComponent* form) {
    TMessage msg;
    msg.Msg = message;
    msg.WParam = reinterpret_cast<WPARAM>(this);
    msg.LParam = kSkinMessageParam;
    m.Send(form, msg);
  };
  TComponent* ownerForm = Owner() && m.IsForm && m.IsForm(Owner()) ? Owner() : nullptr;
  if (ownerForm) send(ownerForm);
  if (!m.Forms) return;
  for (TComponent* form : m.Forms())
    if (form != ownerForm) send(form);
}

int TskSkinData::FindObject(const std::string& name) const {
  for (size_t i = 0; i < ObjectList.size(); ++i)
    if (ObjectList[i]->IDName == name) return static_cast<int>(i);
  return -1;
}

int TskSkinData::FindControl(const std::string& name) const {
  for (size_t i = 0; i < CtrlList.size(); ++i)
    if (CtrlList[i]->IDName == name) return static_cast<int>(i);
  return -1;
}

TBitmap* TskSkinData::ActivePicture(int index) const {
  if (index < 0 || index >= static_cast<int>(ActivePictures.size())) return nullptr;
  return ActivePictures[static_cast<size_t>(index)].get();
}

void TskSkinData::ClearMembers() {
  ObjectList.clear();
  CtrlList.clear();
  ActivePictures.clear();
  PopupWindow->WindowPictureIndex = -1;
  HintWindow->WindowPictureIndex = -1;
  ActivePictureNames.clear();
}

void TskSkinData::ClearSkin() {
  ClearMembers();
  Picture->Clear();
  Mask->Clear();
  InActivePicture->Clear();
  PictureName.clear();
  MaskName.clear();
  IsEmpty = true;
}

void TskSkinData::ApplyStoredSkin(TskCompressedStoredSkin& stored) {
  if (stored.IsDataEmpty()) return;
  IsEmpty = true;
  NotifyForms(MsgBeforeSkinChange);
  ClearSkin();
  TMemoryStream package;
  stored.UnpackTo(package);
  ReadPackage(package);
}

void TskSkinData::LoadPackage(TStream& package) {
  IsEmpty = true;
  NotifyForms(MsgBeforeSkinChange);
  ClearSkin();
  ReadPackage(package);
}

void TskSkinData::ReadPackage(TStream& stream) {
  // The pictures are read straight into the skin's bitmaps, their pixels decoded when first
  // used: a skinned window that is never shown costs only the stored bytes of its pictures
  // (a quarter of the decoded pixels for the usual eight-bit ones).
  auto readPicture = [this](TskPackagePicture which, TStream& s) {
    switch (which) {
      case TskPackagePicture::Picture: ReadBmpDeferred(s, *Picture); break;
      case TskPackagePicture::InactivePicture: ReadBmpDeferred(s, *InActivePicture); break;
      case TskPackagePicture::Mask: ReadBmpDeferred(s, *Mask); break;
      case TskPackagePicture::Active: {
        auto b = std::make_unique<TBitmap>();
        ReadBmpDeferred(s, *b);
        ActivePictures.push_back(std::move(b));
        break;
      }
    }
  };
  int32_t version = 0;
  std::string text;
  try {
    if (!ReadSkinPackageParts(stream, version, readPicture, text)) return;  // a later version: left empty
  } catch (...) {
    ClearSkin();  // a damaged package leaves no pictures behind from before the damage
    throw;
  }
  // Descriptions from the original platform are GBK text; the program's strings are UTF-8. A
  // text that is valid UTF-8 as a whole is so line by line (line breaks are never inside a
  // character), so only other texts are converted, line by line.
  TskIniText ini;
  if (IsValidUtf8(text)) {
    ini.SetText(text);
  } else {
    std::vector<std::string> lines = TskIniText::SplitLines(text);
    for (std::string& line : lines)
      if (!IsValidUtf8(line)) line = GbkToUtf8(line);
    ini.SetLines(lines);
  }

  SkinName = ini.ReadString("VERSION", "skinname", "");
  SkinAuthor = ini.ReadString("VERSION", "skinauthor", "");
  AuthorEmail = ini.ReadString("VERSION", "authoremail", "");
  AuthorURL = ini.ReadString("VERSION", "authorurl", "");
  SkinComments = ini.ReadString("VERSION", "skincomments", "");

  PictureName = ini.ReadString("PICTURES", "picture", "");
  InActivePictureName = ini.ReadString("PICTURES", "inactivepicture", "");
  MaskName = ini.ReadString("PICTURES", "mask", "");
  ActivePictureNames = ini.ReadList("PICTURES", "activepictures");

  ReadFormInfo(ini);
  PopupWindow->ReadSection(ini);
  HintWindow->ReadSection(ini);
  ReadObjects(ini);
  ReadControls(ini);

  IsEmpty = false;
  NotifyForms(MsgSkinChange);
  NotifyForms(MsgAfterSkinChange);
}

void TskSkinData::ReadFormInfo(const TskIniText& ini) {
  const char* s = "FORMINFO";
  LTPoint = ini.ReadPoint(s, "lefttoppoint");
  RTPoint = ini.ReadPoint(s, "righttoppoint");
  LBPoint = ini.ReadPoint(s, "leftbottompoint");
  RBPoint = ini.ReadPoint(s, "rightbottompoint");
  ClRect = ini.ReadRect(s, "clientrect");
  // The window's frame is the picture less its client area: a client area reaching beyond the
  // picture would make the frame's parts negative and the window as large as the rectangle.
  const int pw = Picture->Width(), ph = Picture->Height();
  if (pw > 0 && (ClRect.Right > pw || ClRect.Bottom > ph))
    throw ESkinGeometryError(Format(SClientRectOutsidePicture, {*ini.Find(s, "clientrect"), std::to_string(pw), std::to_string(ph)}));
  BGPictureIndex = ini.ReadInteger(s, "bgpictureindex", -1);
  MDIBGPictureIndex = ini.ReadInteger(s, "mdibgpictureindex", -1);
  LeftStretch = ini.ReadBool(s, "leftstretch");
  RightStretch = ini.ReadBool(s, "rightstretch");
  TopStretch = ini.ReadBool(s, "topstretch");
  BottomStretch = ini.ReadBool(s, "bottomstretch");
  MaskRectArea = ini.ReadRect(s, "maskrectarea");
  HitTestLTPoint = ini.ReadPoint(s, "hittestlefttoppoint");
  HitTestRTPoint = ini.ReadPoint(s, "hittestrighttoppoint");
  HitTestLBPoint = ini.ReadPoint(s, "hittestleftbottompoint");
  HitTestRBPoint = ini.ReadPoint(s, "hittestrightbottompoint");

  if (!MaskName.empty()) {
    if (MaskRectArea.IsEmpty()) {
      MaskRectArea = ClRect;
    } else {
      MaskRectArea.Left = std::min(MaskRectArea.Left, ClRect.Left);
      MaskRectArea.Top = std::min(MaskRectArea.Top, ClRect.Top);
      MaskRectArea.Right = std::max(MaskRectArea.Right, ClRect.Right);
      MaskRectArea.Bottom = std::max(MaskRectArea.Bottom, ClRect.Bottom);
    }
    auto complete = [](TPoint& hit, const TPoint& corner) {
      if (hit.X == 0 || hit.Y == 0) hit = corner;
    };
    complete(HitTestLTPoint, LTPoint);
    complete(HitTestRTPoint, RTPoint);
    complete(HitTestLBPoint, LBPoint);
    complete(HitTestRBPoint, RBPoint);
  }

  ButtonsRect = ini.ReadRect(s, "buttonsrect");
  CaptionRect = ini.ReadRect(s, "captionrect");
  ButtonsOffset = ini.ReadInteger(s, "buttonsoffset", 0);
  ButtonsInLeft = ini.ReadBool(s, "buttonsinleft");
  MainMenuPopupUp = ini.ReadBool(s, "mainmenupopupup");
  BorderW = ini.ReadInteger(s, "borderwidth", 0);
  AutoRenderingInActiveImage = ini.ReadBool(s, "autorenderinginactiveimage");
  InActiveEffect = ini.ReadInactiveEffect(s, "inactiveeffect");

  if (RBPoint.X != LTPoint.X && RBPoint.Y != LTPoint.Y) {
    const TRect& cl = ClRect;
    LTPoint.X = std::max(LTPoint.X, cl.Left);
    LTPoint.Y = std::max(LTPoint.Y, cl.Top);
    RTPoint.X = std::min(RTPoint.X, cl.Right);
    RTPoint.Y = std::max(RTPoint.Y, cl.Top);
    LBPoint.X = std::max(LBPoint.X, cl.Left);
    LBPoint.Y = std::min(LBPoint.Y, cl.Bottom);
    RBPoint.X = std::min(RBPoint.X, cl.Right);
    RBPoint.Y = std::min(RBPoint.Y, cl.Bottom);
  }
}

void TskSkinData::ReadObjects(const TskIniText& ini) {
  const int count = ini.EffectiveCount("SKINOBJECTS", ini.ReadInteger("SKINOBJECTS", "count", 0));
  for (int i = 0; i < count; ++i) {
    std::string name, type;
    SplitMemberEntry(ini.ReadString("SKINOBJECTS", std::to_string(i), ""), name, type);
    auto member = CreateSkinObject(type, name);
    if (!member) continue;
    TskDataSkinObject* m = member.get();
    ObjectList.push_back(std::move(member));
    m->ReadSection(ini);
  }
}

void TskSkinData::ReadControls(const TskIniText& ini) {
  const int count = ini.EffectiveCount("SKINCONTROLS", ini.ReadInteger("SKINCONTROLS", "count", 0));
  for (int i = 0; i < count; ++i) {
    std::string name, type;
    SplitMemberEntry(ini.ReadString("SKINCONTROLS", std::to_string(i), ""), name, type);
    auto member = CreateSkinControl(type, name);
    if (!member) continue;
    TskDataSkinControl* m = member.get();
    CtrlList.push_back(std::move(member));
    m->ReadSection(ini);
  }
}

}  // namespace corvane
