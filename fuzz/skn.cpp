// .skn import: a file of any content either imports (version at most 3, the stated length
// present) or leaves the held data empty, raising only the stream errors; what it imports is then
// loaded into skin data like the about window's stored skin, which raises only the program's own
// errors.
#include <cstdio>

#include "FuzzSupport.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::ScratchPath("skin.skn");
  WriteFileAtomically(path, fuzz::Bytes(data, size));
  TskCompressedStoredSkin stored(nullptr);
  stored.ReadCompressedData("stale");
  try {
    stored.ImportSknFile(path);
  } catch (const EStreamError&) {
    if (!stored.IsDataEmpty()) fuzz::Broken("a failed import kept data");
  }
  std::remove(path.c_str());
  if (stored.CompressedData().Bytes().size() + 8 > size && !stored.IsDataEmpty())
    fuzz::Broken("imported more bytes than the file holds");
  TskSkinData skin(nullptr);
  try {
    skin.ApplyStoredSkin(stored);
  } catch (const Exception&) {
    if (!skin.IsEmpty) fuzz::Broken("a failed load left the skin marked as loaded");
  }
  return 0;
}
