// A container panel that shows a picture as its background (unscaled, stretched or tiled) with an
// optional caption, drawn straight on the window's canvas.
#pragma once

#include <memory>

#include "platform/widgets/StdCtrls.h"

namespace corvane {

enum class TthDrawStyle : uint8_t { thNormal = 0, thStretch = 1, thTile = 2 };

class TthCustomPanel : public TPanel {
 public:
  explicit TthCustomPanel(TComponent* owner);
  ~TthCustomPanel() override;
  std::string ClassName() const override { return "TthCustomPanel"; }

  TPicture& Picture() { return *picture_; }
  const TPicture& Picture() const { return *picture_; }
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool v);
  bool AutoSize() const { return autoSize_; }
  TthDrawStyle DrawStyle() const { return drawStyle_; }
  // Where the caption's top-left corner goes; (-1, -1) (the default) centres it vertically and
  // aligns it by `Alignment`.
  TPoint CaptionPosition() const { return captionPos_; }
  void SetCaptionPosition(TPoint p) { captionPos_ = p; Invalidate(); }

 protected:
  // Sets the canvas brush to Color; the panel is never parented to a raw window, so nothing is
  // filled here.
  virtual void ClearBackground();
  virtual void PictureChanged();
  void Paint() override;
  void Resize() override;
  void WndProc(TMessage& m) override;
  // Width follows the picture unless aligned top, bottom or client; height unless left, right
  // or client.
  void ApplyAutoSize();
  void SyncTransparency();
  bool HasGraphic() const { return picture_->Graphic() && !picture_->Graphic()->Empty(); }

  std::unique_ptr<TPicture> picture_;
  bool transparent_ = false;
  bool autoSize_ = false;
  TPoint captionPos_{-1, -1};
  TthDrawStyle drawStyle_ = TthDrawStyle::thNormal;
};

class TthImagePanel : public TthCustomPanel {
 public:
  explicit TthImagePanel(TComponent* owner);
  std::string ClassName() const override { return "TthImagePanel"; }
  void SetAutoSize(bool v);
  void SetDrawStyle(TthDrawStyle v);
  // Copies the picture into the panel's own.
  void SetPicture(const TPicture& p);
};

// Layout identifiers of the draw styles ("thNormal" ...).
const char* DrawStyleName(TthDrawStyle s);

}  // namespace corvane
