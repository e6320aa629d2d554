// JPEG decoding through the platform's wrapper: bad data raises EInvalidGraphic and leaves the
// bitmap's previous picture as it was; good data gives a bitmap whose every row is there.
#include "FuzzSupport.h"
#include "platform/graphics/Graphics.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TBitmap bitmap(3, 2);
  try {
    DecodeJpeg(fuzz::Bytes(data, size), bitmap);
  } catch (const EInvalidGraphic&) {
    if (bitmap.Width() != 3 || bitmap.Height() != 2) fuzz::Broken("a failed decode changed the bitmap");
    return 0;
  }
  if (bitmap.Width() <= 0 || bitmap.Height() <= 0) fuzz::Broken("a decode that succeeded gave an empty bitmap");
  // Touch the first and the last row: the pixels are really there.
  volatile uint32_t a = bitmap.ScanLine(0)[0];
  volatile uint32_t b = bitmap.ScanLine(bitmap.Height() - 1)[bitmap.Width() - 1];
  (void)a;
  (void)b;
  return 0;
}
