// The stored skin's compressed package (the same bytes the about window's layout carries), for
// tests and benchmarks that need a real skin without reading a layout. Library
// corvane_stored_skin; the program itself does not link it.
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
