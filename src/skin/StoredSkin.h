// The about window's stored skin: the compressed package built from assets/skin at build time
// (library corvane_stored_skin).
#pragma once

#include <cstddef>
#include <string_view>

extern const unsigned char kStoredSkinData[];
extern const size_t kStoredSkinSize;

namespace corvane {

inline std::string_view StoredSkinBytes() {
  return {reinterpret_cast<const char*>(kStoredSkinData), kStoredSkinSize};
}

}  // namespace corvane
