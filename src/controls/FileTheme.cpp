#include "controls/FileTheme.h"

#include <cstring>
#include <set>

#include "platform/windows/Forms.h"

namespace corvane {

namespace {

constexpr size_t kRecordSize = 77;
constexpr size_t kNameSize = 64;
constexpr size_t kMinHeader = 24;

uint32_t ReadU32(const std::string& b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

}  // namespace

TthThemeFileReader::TthThemeFileReader(std::string bytes, const std::string& fileName) {
  auto fail = [&](const std::string& why) -> void {
    throw ETthThemeFileError(Format("Theme file %s is not valid: %s", {fileName, why}));
  };
  const size_t size = bytes.size();
  if (size < kMinHeader) fail("the header is incomplete");
  uint32_t headerSize = ReadU32(bytes, 12);
  if (headerSize < kMinHeader || headerSize > size) fail("the header size is out of range");
  uint64_t at = ReadU32(bytes, 20);
  std::set<uint64_t> seen;
  for (;;) {
    if (at < headerSize || at + kRecordSize > size) fail("an entry record lies outside the file");
    if (!seen.insert(at).second) fail("the entry records form a loop");
    const size_t r = static_cast<size_t>(at);
    uint64_t next = ReadU32(bytes, r + kNameSize + 9);
    if (next == 0) break;  // the closing record
    std::string name(bytes.data() + r, kNameSize);
    name.resize(std::strlen(name.c_str()));
    auto kind = static_cast<unsigned char>(bytes[r + kNameSize]);
    if (kind > 3) fail("entry " + name + " has an unknown kind");
    uint64_t dataAt = ReadU32(bytes, r + kNameSize + 1);
    uint64_t dataSize = ReadU32(bytes, r + kNameSize + 5);
    if (dataAt + dataSize > size) fail("the data of entry " + name + " lies outside the file");
    auto k = static_cast<EntryKind>(kind);
    if (k == EntryKind::Integer && dataSize != 4) fail("entry " + name + " is not a 32-bit integer");
    if (k == EntryKind::Boolean && dataSize != 1) fail("entry " + name + " is not a one-byte boolean");
    entries_.try_emplace(name, Entry{k, bytes.substr(static_cast<size_t>(dataAt), static_cast<size_t>(dataSize))});
    at = next;
  }
}

const TthThemeFileReader::Entry* TthThemeFileReader::Find(const std::string& key) const {
  auto it = entries_.find(key);
  return it == entries_.end() ? nullptr : &it->second;
}

std::optional<bool> TthThemeFileReader::BoolOf(const std::string& key) const {
  const Entry* e = Find(key);
  if (!e) return std::nullopt;
  switch (e->kind) {
    case EntryKind::Boolean: return e->data[0] != 0;
    case EntryKind::Integer: return ReadU32(e->data, 0) != 0;
    case EntryKind::Text: {
      int v;
      if (TryStrToInt(e->data, v)) return v != 0;
      return std::nullopt;
    }
    default: return std::nullopt;
  }
}

std::optional<int32_t> TthThemeFileReader::IntOf(const std::string& key) const {
  const Entry* e = Find(key);
  if (!e) return std::nullopt;
  switch (e->kind) {
    case EntryKind::Integer: return static_cast<int32_t>(ReadU32(e->data, 0));
    case EntryKind::Boolean: return static_cast<int32_t>(static_cast<unsigned char>(e->data[0]));
    case EntryKind::Text: {
      int v;
      if (TryStrToInt(e->data, v)) return v;
      return std::nullopt;
    }
    default: return std::nullopt;
  }
}

bool TthThemeFileReader::ImageOf(const std::string& key, TBitmap& target) const {
  const Entry* e = Find(key);
  if (!e || e->kind != EntryKind::Image) return false;
  TMemoryStream m(e->data);
  target.LoadFromStream(m);
  return true;
}

void TthFileThemeMgr::Load(const std::string& path) {
  auto reader = std::make_unique<TthThemeFileReader>(ReadFileBytes(path), path);
  reader_ = std::move(reader);
}

TthFileTheme::TthFileTheme(TComponent* owner) : TComponent(owner) {}
TthFileTheme::~TthFileTheme() { Destroying(); }

void TthFileTheme::SetThemeFile(const std::string& path) {
  if (path == themeFile_) return;
  std::string found = path;
  if (!FileExists(found)) {
    found = ExtractFilePath(ParamStr0()) + ExtractFileName(path);
    if (path.empty() || !FileExists(found)) return;
  }
  mgr_.Load(found);  // raises and changes nothing when the file is unusable
  themeFile_ = found;
  loaded_ = true;
  // Controls of the same window that use this theme resolve their style again.
  if (auto* form = dynamic_cast<TForm*>(Owner())) {
    for (int i = 0; i < form->ComponentCount(); ++i) {
      TComponent* c = form->Components(i);
      if (c->ClassName().rfind("Tth", 0) != 0) continue;
      auto* client = dynamic_cast<TthFileThemeClient*>(c);
      if (client && client->FileTheme() == this) client->SetFileTheme(this);
    }
  }
}

bool TthFileTheme::BoolOf(const std::string& key) const {
  const TthThemeFileReader* r = loaded_ ? mgr_.Reader() : nullptr;
  if (!r) return false;
  return r->BoolOf(key).value_or(false);
}

int32_t TthFileTheme::IntOf(const std::string& key) const {
  const TthThemeFileReader* r = loaded_ ? mgr_.Reader() : nullptr;
  if (!r) return -1;
  return r->IntOf(key).value_or(-1);
}

bool TthFileTheme::ImageOf(const std::string& key, TBitmap& target) const {
  const TthThemeFileReader* r = loaded_ ? mgr_.Reader() : nullptr;
  return r && r->ImageOf(key, target);
}

}  // namespace corvane
