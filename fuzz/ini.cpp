// Configuration-file reader and writer: any file reads without raising, and writing one value
// leaves every other value as it read before, while the written value reads back exactly.
#include <cstdio>

#include "FuzzSupport.h"
#include "platform/core/IniFiles.h"

using namespace corvane;

namespace {
const std::string kSection = "用户";
const std::string kKeys[] = {"自定义1", "自定义2", "自定义3"};
const std::string kNone = "\x01 none";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::ScratchPath("corvane.ini");
  WriteFileAtomically(path, fuzz::Bytes(data, size));
  TIniFile ini(path);

  std::string before[3];
  for (int i = 0; i < 3; ++i) before[i] = ini.ReadString(kSection, kKeys[i], kNone);
  // Names the file itself may hold: the first line's text as a section, the second's as a key.
  std::string_view text = fuzz::Bytes(data, size);
  std::string firstLine(text.substr(0, std::min(text.find('\n'), text.size())));
  (void)ini.ReadString(firstLine, firstLine, kNone);
  (void)ini.ReadString("", "", kNone);

  // A title made from the input's own bytes, as hex so that every character survives GBK.
  std::string value = "t";
  static const char* kHex = "0123456789abcdef";
  for (size_t i = 0; i < size && i < 40; ++i) {
    value += kHex[data[i] >> 4];
    value += kHex[data[i] & 15];
  }
  ini.WriteString(kSection, kKeys[0], value);  // a failure here is a finding: the file is writable
  if (ini.ReadString(kSection, kKeys[0], kNone) != value) fuzz::Broken("the written value does not read back");
  for (int i = 1; i < 3; ++i)
    if (ini.ReadString(kSection, kKeys[i], kNone) != before[i]) fuzz::Broken("writing one key changed another");
  std::remove(path.c_str());
  return 0;
}
