// Skin packages: inflate, picture records, the BMP codec, the description and the skin data
// load. The first bytes decide the road an input takes, so that one corpus reaches every reader:
//   0x78 ...   a zlib stream, loaded the way the about window's layout loads its stored skin
//   "BM" ...   one BMP image: decoded, written back and decoded again to the same pixels
//   "[" ...    a skin description, loaded inside a package with no pictures
//   otherwise  a raw (inflated) package, loaded into skin data
// Only the program's own errors may come out, and a failed load leaves the skin marked empty.
#include "FuzzSupport.h"
#include "platform/graphics/BmpCodec.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/SkinIni.h"
#include "skin/package/SkinPackage.h"

using namespace corvane;

namespace {

void LoadInto(TskSkinData& skin, const std::function<void()>& load) {
  try {
    load();
  } catch (const Exception&) {
    if (!skin.IsEmpty) fuzz::Broken("a failed load left the skin marked as loaded");
    return;
  }
  // A loaded skin can be searched and its pictures reached.
  (void)skin.FindObject("closebutton");
  (void)skin.FindControl("button");
  for (int i = -1; i <= static_cast<int>(skin.ActivePictures.size()); ++i) (void)skin.ActivePicture(i);
}

void Bmp(std::string_view bytes) {
  TMemoryStream in{std::string(bytes)};
  TBmpImage image;
  try {
    image = DecodeBmp(in);
  } catch (const Exception&) {
    return;
  }
  if (in.Position() > static_cast<int64_t>(bytes.size())) fuzz::Broken("read past the image");
  if (image.Empty()) return;
  if (image.Pixels.size() != static_cast<size_t>(image.Width) * image.Height) fuzz::Broken("pixel count");
  // What we write we read back: 1-, 8- and 24-bit images keep their pixels.
  if (image.BitCount != 1 && image.BitCount != 8 && image.BitCount != 24) image.BitCount = 24;
  if (image.BitCount != 24 && image.Indices.size() != image.Pixels.size()) image.BitCount = 24;
  if (image.EncodedSize() > (64 << 20)) return;
  TMemoryStream out;
  EncodeBmp(out, image);
  if (static_cast<int64_t>(out.Bytes().size()) != image.EncodedSize()) fuzz::Broken("encoded size");
  out.SetPosition(0);
  TBmpImage again = DecodeBmp(out);
  if (again.Width != image.Width || again.Height != image.Height || again.Pixels != image.Pixels)
    fuzz::Broken("a written BMP does not read back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes = fuzz::Bytes(data, size);
  TskSkinData skin(nullptr);
  if (size >= 1 && data[0] == 0x78) {
    TskCompressedStoredSkin stored(nullptr);
    stored.ReadCompressedData(bytes);
    LoadInto(skin, [&] { skin.ApplyStoredSkin(stored); });
  } else if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
    Bmp(bytes);
  } else if (size >= 1 && data[0] == '[') {
    TskIniText ini;
    ini.SetText(bytes);
    (void)HasRequiredSections(ini);
    TskSkinPackage package;
    package.Description = TskIniText::SplitLines(bytes);
    TMemoryStream raw;
    WriteSkinPackage(raw, package);
    raw.SetPosition(0);
    LoadInto(skin, [&] { skin.LoadPackage(raw); });
  } else {
    TMemoryStream raw{std::string(bytes)};
    LoadInto(skin, [&] { skin.LoadPackage(raw); });
  }
  return 0;
}
