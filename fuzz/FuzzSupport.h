// Shared by the fuzz targets. Each target defines LLVMFuzzerTestOneInput (and, when it needs the
// window system, LLVMFuzzerInitialize). Built with CORVANE_FUZZ the entry runs under libFuzzer;
// otherwise it is linked with Replay.cpp into a test that feeds it every file of the target's
// corpus and crash folders.
//
// The errors a reader is allowed to raise on bad input are the program's own exceptions
// (corvane::Exception and what derives from it): the entry catches those and nothing else, so a
// std::bad_alloc, std::out_of_range or any other stray exception ends the run as a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <unistd.h>

#include "platform/core/Classes.h"

namespace corvane::fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A property the target checks failed: report it the way libFuzzer reports a crash.
[[noreturn]] inline void Broken(const char* what) {
  std::fprintf(stderr, "fuzz property broken: %s\n", what);
  std::abort();
}

// With CORVANE_FUZZ_VERBOSE set, prints the error an input was refused with (to see how far the
// seeds get).
inline void Refused(const std::exception& e) {
  static const bool verbose = std::getenv("CORVANE_FUZZ_VERBOSE") != nullptr;
  if (verbose) std::fprintf(stderr, "refused: %s\n", e.what());
}

// A scratch file of this process, for readers that only take a path. Lives in /dev/shm when
// there is one so the fuzzer does not wear the disk.
inline std::string ScratchPath(const char* name) {
  static const std::string dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return dir + "/corvane-fuzz-" + std::to_string(::getpid()) + "-" + name;
}

}  // namespace corvane::fuzz
