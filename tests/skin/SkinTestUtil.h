// Helpers shared by the skin engine tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/core/Classes.h"
#include "platform/graphics/BmpCodec.h"

namespace corvane::test {

// A 24-bit image whose pixels encode their own position, so misplaced pixels show.
inline TBmpImage PatternImage(int w, int h) {
  TBmpImage img;
  img.Reset(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.SetPixel(x, y, (uint32_t(x * 7 & 0xFF) << 16) | (uint32_t(y * 13 & 0xFF) << 8) | uint32_t((x + y) & 0xFF));
  return img;
}

inline TBmpImage IndexedImage(int w, int h, int bits) {
  TBmpImage img;
  const int n = bits == 1 ? 2 : 256;
  for (int i = 0; i < n; ++i) img.Palette.push_back(bits == 1 ? (i ? 0xFFFFFFu : 0u) : uint32_t(i * 0x010203) & 0xFFFFFF);
  img.Reset(w, h, bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.SetIndex(x, y, static_cast<uint8_t>((x * 3 + y * 5) % n));
  return img;
}

inline std::string EncodeToBytes(const TBmpImage& img) {
  TMemoryStream m;
  EncodeBmp(m, img);
  return m.Bytes();
}

inline uint32_t U32At(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
         uint32_t(uint8_t(b[at + 3])) << 24;
}

// A fresh empty directory under the system's temporary directory, removed with the object.
struct TempDir {
  std::filesystem::path path;
  TempDir() {
    static int counter = 0;
    path = std::filesystem::temp_directory_path() /
           ("corvane_skin_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempDir() { std::error_code ec; std::filesystem::remove_all(path, ec); }
  std::string File(const std::string& name) const { return (path / name).string(); }
};

}  // namespace corvane::test
