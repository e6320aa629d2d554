// TskSkinData: one loaded skin (pictures, frame geometry, popup and hint window data, skin objects
// and skin controls), shared by every skinned surface. A load replaces the whole model and tells
// every form before and after with the skin change messages.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/Messages.h"
#include "skin/package/SkinIni.h"
#include "skin/package/SkinMembers.h"

namespace corvane {

class TBitmap;
class TskCompressedStoredSkin;
class TskResourceStrData;
struct TskSkinPackage;

// Skin change messages, sent synchronously to the window of every form. WParam is the sending
// TskSkinData (compare it with the skin data you use), LParam the constant 1000.
inline constexpr unsigned MsgBeforeSkinChange = WM_USER + 201;
inline constexpr unsigned MsgSkinChange = WM_USER + 202;
inline constexpr unsigned MsgAfterSkinChange = WM_USER + 203;
inline constexpr unsigned MsgSkinStringsChange = WM_USER + 250;
inline constexpr LPARAM kSkinMessageParam = 1000;

// How skin data reaches the forms of the application. The application installs the three
// functions once at start-up; until then NotifyForms sends nothing.
struct TskFormMessenger {
  // True when the component is a form.
  std::function<bool(TComponent*)> IsForm;
  // Every form of the application, in the application's form order.
  std::function<std::vector<TComponent*>()> Forms;
  // Sends the message to the form's window (creating the window when needed) and returns after
  // the form has handled it.
  std::function<void(TComponent* form, TMessage& message)> Send;
};
TskFormMessenger& SkinFormMessenger();

class TskSkinData : public TComponent {
 public:
  explicit TskSkinData(TComponent* owner);
  ~TskSkinData() override;
  std::string ClassName() const override { return "TskSkinData"; }

  // Published properties.
  TskCompressedStoredSkin* CompressedStoredSkin() const { return storedSkin_; }
  // Stores the reference and, unless the layout is being edited or the value is null, loads it
  // (every time, also when it is the same component).
  void SetCompressedStoredSkin(TskCompressedStoredSkin* value);
  TskResourceStrData* ResourceStrData() const { return resourceStrData_; }
  // Stores the reference and, unless the layout is being edited, sends MsgSkinStringsChange.
  void SetResourceStrData(TskResourceStrData* value);

  void NotifyForms(unsigned message);
  // Index of the first member with exactly this name (letter case included); -1 when none.
  int FindObject(const std::string& name) const;
  int FindControl(const std::string& name) const;
  void ClearMembers();
  void ClearSkin();
  // Loads the stored skin (nothing happens when it holds no data).
  void ApplyStoredSkin(TskCompressedStoredSkin& stored);
  // Loads a package stream (raw, not compressed) at run time: the before-change notice, the model
  // cleared, the package read and announced. A package of a later version leaves the skin empty.
  void LoadPackage(TStream& package);

  // ---- The model. Readers check IsEmpty first and then read the fields directly.
  TRect ButtonsRect, CaptionRect;
  int ButtonsOffset = 0;
  bool ButtonsInLeft = false;
  bool AutoRenderingInActiveImage = false;
  SkinInactiveEffect InActiveEffect = SkinInactiveEffect::iebrightness;
  std::unique_ptr<TskDataSkinPopupWindow> PopupWindow;
  std::unique_ptr<TskDataSkinHintWindow> HintWindow;
  bool IsEmpty = true;
  std::unique_ptr<TBitmap> Picture, InActivePicture, Mask;
  std::vector<std::unique_ptr<TBitmap>> ActivePictures;
  std::string PictureName, InActivePictureName, MaskName;
  std::vector<std::string> ActivePictureNames;
  std::vector<std::unique_ptr<TskDataSkinObject>> ObjectList;
  std::vector<std::unique_ptr<TskDataSkinControl>> CtrlList;
  TPoint LTPoint, RTPoint, LBPoint, RBPoint;
  int BGPictureIndex = -1, MDIBGPictureIndex = -1;
  bool MainMenuPopupUp = false;
  TRect MaskRectArea;
  TPoint HitTestLTPoint, HitTestRTPoint, HitTestLBPoint, HitTestRBPoint;
  TRect ClRect;
  int BorderW = 0;
  bool TopStretch = false, LeftStretch = false, RightStretch = false, BottomStretch = false;
  std::string SkinName, SkinAuthor, AuthorURL, AuthorEmail, SkinComments;

  // The active picture with this index, or nullptr when the index is out of range.
  TBitmap* ActivePicture(int index) const;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void ReadFormInfo(const TskIniText& ini);
  void ReadObjects(const TskIniText& ini);
  void ReadControls(const TskIniText& ini);

  // Reads a package into the cleared model and announces it.
  void ReadPackage(TStream& package);

  TskCompressedStoredSkin* storedSkin_ = nullptr;
  TskResourceStrData* resourceStrData_ = nullptr;
};

}  // namespace corvane
