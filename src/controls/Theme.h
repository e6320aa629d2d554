// The visual themes of the skinned controls: the style enumeration, the catalogue of 42 theme
// elements with one value per built-in style, element lookups, frame cutting and the drawing
// helpers the controls share (nine-slice drawing, parent background, tiling).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/graphics/Graphics.h"
#include "platform/windows/Controls.h"

namespace corvane {

class TthFileTheme;

enum class TthUIStyle : uint8_t { FromThemeFile = 0, MacOS = 1, WinXP = 2, DeepBlue = 3, Protein = 4, BlueGlass = 5 };

// The layout identifier of a style ("MacOS" ...) and back; nullopt for an unknown name.
const char* UIStyleName(TthUIStyle style);
std::optional<TthUIStyle> UIStyleFromName(const std::string& name);

enum class TthElementKind { Image, Bool, Int, Color };

// Element numbers the controls use.
constexpr int thButtonImage = 1;
constexpr int thButtonTransparentBool = 2;
constexpr int thControlBorderColor = 25;
constexpr int thElementCount = 42;

// The key colour of theme images (magenta): pixels of this colour let the background show.
constexpr TColor thKeyColor = 0xFF00FF;

struct TthThemeElement {
  int number;
  const char* key;
  TthElementKind kind;
  // For images: the image-name suffix after the style prefix (or, when `fixedNames` is set,
  // the full name of each style). For the other kinds: the value of each style, MacOS first.
  const char* suffix;
  const char* fixedNames[5];
  int32_t values[5];
};

// The catalogue entry of element 1..42, or nullptr.
const TthThemeElement* ThemeElement(int number);
// The element whose key is `key` (case-sensitive), or nullptr.
const TthThemeElement* ThemeElementByKey(const std::string& key);
// The image prefix of a built-in style ("MACOS" ...), or "" for FromThemeFile and unknown values.
std::string StylePrefix(TthUIStyle style);
// The built-in image name of an image element for a built-in style; "" when there is none.
std::string ThemeImageName(TthUIStyle style, int element);

// Which theme a control's elements come from.
struct TthResolvedStyle {
  bool useFile = false;
  TthUIStyle style = TthUIStyle::DeepBlue;  // the effective built-in style when the file is not used
};
// FromThemeFile uses the file theme when one is assigned and loaded; otherwise DeepBlue. The
// other styles stand for themselves.
TthResolvedStyle ResolveStyle(const TthFileTheme* fileTheme, TthUIStyle style);

// Loads the element's image into `target`: the whole image when frameCount is 0, else frame
// `frameIndex` (1-based) of `frameCount` equal frames. A missing image or a style outside 1..5
// leaves the target empty.
void ThemeImageOf(TthUIStyle style, int element, TBitmap& target, int frameCount = 0, int frameIndex = 1);
// The same from a loaded file theme (by the element's key). Raises EInvalidGraphic when the file
// holds image data that is not a valid bitmap.
void ThemeImageOf(const TthFileTheme& fileTheme, int element, TBitmap& target, int frameCount = 0, int frameIndex = 1);
// Resolves the style first and takes the image from the file or from the effective style.
void ThemeImageOf(const TthFileTheme* fileTheme, TthUIStyle style, int element, TBitmap& target, int frameCount = 0,
                  int frameIndex = 1);

// Built-in values: the value when the element has that kind, else false / 0 / -1.
bool ThemeFlagOf(TthUIStyle style, int element);
TColor ThemeColorOf(TthUIStyle style, int element);
int ThemeIntOf(TthUIStyle style, int element);

// Frame `index` (1-based) of `count` equal frames side by side: the frame width is the strip's
// width div count; columns beyond count * width are never used.
void CutFrame(const TBitmap& strip, TBitmap& target, int count, int index);

// Nine-slice drawing of `image` into r (whose left and top are 0): corners keep their pixels,
// the middle row and column stretch along the edges, the middle block fills the centre. Corners
// leave out key-colour pixels only when transparentCorners is set; edges and centre always do.
void DrawSlicedImage(const TBitmap& image, TCanvas& canvas, const TRect& r, bool transparentCorners);

// Paints what the control's parent shows behind the control into the canvas, with the control's
// top-left corner at the canvas origin: the parent's background and its graphic children, not
// its windowed children.
void PaintParentBackground(TCanvas& canvas, const TControl& control);

// Tiles the graphic from the canvas origin until r's width and height are covered (one tile more
// in each direction than needed). A graphic of zero width or height draws nothing.
void TileGraphic(TCanvas& canvas, const TGraphic& graphic, const TRect& r);

}  // namespace corvane
