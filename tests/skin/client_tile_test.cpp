// The stored skin's client area is tiled under a window larger than the skin (the maximised about
// window, skinview): where two tiles meet, the pixels must change no more than they do between
// neighbours inside a tile, or the user sees a seam every tile.
#include <gtest/gtest.h>

#include <cstdlib>

#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/StoredSkin.h"

using namespace corvane;

namespace {
int Difference(TColor a, TColor b) {
  int d = 0;
  for (int shift : {0, 8, 16}) d += std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
  return d;
}
}  // namespace

TEST(StoredSkinClient, TilesMeetWithoutASeam) {
  TskCompressedStoredSkin stored(nullptr);
  stored.ReadCompressedData(StoredSkinBytes());
  TskSkinData data(nullptr);
  data.SetCompressedStoredSkin(&stored);
  ASSERT_FALSE(data.IsEmpty);
  const TRect cl = data.ClRect;
  TCanvas& c = data.Picture->Canvas();
  // Across columns: inside the tile, and from its last column to the first (the next tile's).
  double inside = 0, seam = 0;
  int n = 0;
  for (int y = cl.Top; y < cl.Bottom; ++y) {
    for (int x = cl.Left; x + 1 < cl.Right; ++x) inside += Difference(c.Pixel(x, y), c.Pixel(x + 1, y));
    seam += Difference(c.Pixel(cl.Right - 1, y), c.Pixel(cl.Left, y));
    ++n;
  }
  inside /= double(n) * (cl.Width() - 1);
  seam /= n;
  EXPECT_LT(seam, inside * 1.5 + 1) << "a seam between tiles side by side: " << seam << " against " << inside;
  // Across rows: the last row of a tile against the first row of the one below.
  inside = seam = 0;
  n = 0;
  for (int x = cl.Left; x < cl.Right; ++x) {
    for (int y = cl.Top; y + 1 < cl.Bottom; ++y) inside += Difference(c.Pixel(x, y), c.Pixel(x, y + 1));
    seam += Difference(c.Pixel(x, cl.Bottom - 1), c.Pixel(x, cl.Top));
    ++n;
  }
  inside /= double(n) * (cl.Height() - 1);
  seam /= n;
  EXPECT_LT(seam, inside * 1.5 + 1) << "a seam between tiles one above the other: " << seam << " against " << inside;
}
