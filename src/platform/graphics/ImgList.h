// Image lists: equally sized small images kept together and drawn by index (toolbar glyphs).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/graphics/Graphics.h"

namespace corvane {

class TImageList : public TComponent {
 public:
  explicit TImageList(TComponent* owner);
  ~TImageList() override;
  std::string ClassName() const override { return "TImageList"; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Changing the size drops every image.
  void SetSize(int width, int height);
  int Count() const { return static_cast<int>(images_.size()); }
  void Clear();

  // Cuts the bitmap into images of Width x Height from left to right (a partial image at the
  // right edge is left out); pixels of the mask colour become transparent. Returns the index of
  // the first image added.
  int AddMasked(const TBitmap& bitmap, TColor maskColor);
  // Adds the images of a built-in picture; raises EInvalidGraphic when there is no such picture.
  int AddResourceMasked(const std::string& name, TColor maskColor);

  // Draws image `index` with its top-left corner at (x, y); transparent pixels leave the canvas
  // as it is. A disabled image is drawn in pale grey. Indexes out of range draw nothing.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;

  TNotifyEvent OnChange;

 private:
  struct Image {
    std::unique_ptr<TBitmap> normal, disabled;
    TColor key;  // the pixels of this colour are transparent
  };
  void Changed() { if (OnChange) OnChange(this); }
  int width_ = 16, height_ = 16;
  std::vector<Image> images_;
};

}  // namespace corvane
