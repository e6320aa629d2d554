// Theme-file reader: a file that breaks the layout is refused with ETthThemeFileError; a file
// that is accepted answers every lookup of every key it holds, and an image entry either loads
// or raises the bitmap error.
#include "FuzzSupport.h"
#include "controls/FileTheme.h"
#include "platform/graphics/Graphics.h"

using namespace corvane;

namespace {
// The keys the themed controls ask for, plus one that no file holds.
const char* const kKeys[] = {"BUTTON", "BUTTON_TRANSPARENT", "EDIT_BORDERCOLOR", "DEEPBLUE_BUTTON", "", "NO SUCH KEY"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(fuzz::Bytes(data, size));
  try {
    TthThemeFileReader reader(bytes, "fuzz.theme");
    if (reader.EntryCount() < 0) fuzz::Broken("negative entry count");
    auto probe = [&](const std::string& key) {
      (void)reader.BoolOf(key);
      (void)reader.IntOf(key);
      TBitmap image;
      try {
        if (reader.ImageOf(key, image) && image.Empty()) { /* an empty image is a valid answer */ }
      } catch (const EInvalidGraphic&) {
      } catch (const EReadError&) {
      }
    };
    for (const char* key : kKeys) probe(key);
    // Walk the record chain of the accepted file: every record before the closing one names a
    // key the reader must hold.
    auto u32 = [&](size_t at) {
      return static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
             static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
    };
    size_t at = u32(20);
    for (int guard = 0; guard <= reader.EntryCount() + 1; ++guard) {
      if (at + 77 > size) fuzz::Broken("an accepted file has a record outside it");
      if (u32(at + 73) == 0) break;
      std::string name(bytes.data() + at, 64);
      name.resize(name.find('\0') == std::string::npos ? 64 : name.find('\0'));
      if (!reader.Find(name)) fuzz::Broken("a key of the record chain is missing");
      probe(name);
      at = u32(at + 73);
    }
  } catch (const ETthThemeFileError&) {
  }
  return 0;
}
