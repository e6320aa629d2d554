#include "skin/package/SkinIni.h"

#include <algorithm>
#include <array>
#include <functional>

namespace corvane {

namespace {

// Blanks and control characters come off both ends.
std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

const char* const kInactiveWords[] = {"iebrightness", "iedarkness", "iegrayscale", "ienoise", "iesplitblur", "ieinvert"};
const char* const kMorphWords[] = {"mkdefault", "mkgradient", "mkleftgradient", "mkrightgradient",
                                   "mkleftslide", "mkrightslide", "mkpush"};
const char* const kCommandWords[] = {"cmclose", "cmmaximize", "cmminimize", "cmsysmenu",
                                     "cmdefault", "cmrollup", "cmminimizetotray"};

template <size_t N>
int MatchWord(std::string_view value, const char* const (&words)[N], int unknown) {
  for (size_t i = 0; i < N; ++i)
    if (value == words[i]) return static_cast<int>(i);
  return unknown;
}

// Splits a value into its decimal fields (`N` is 4 for a rectangle and 2 for a point): each
// field is its digits, everything else skipped. The digits gathered stay short enough to need no
// allocation for any real value; a field without digits raises the conversion error for "".
template <size_t N>
std::array<int, N> ParseFields(std::string_view value) {
  std::array<std::string, N> acc;
  size_t n = 0;
  for (char c : value) {
    if (c == ',') {
      ++n;
      if (n >= N) break;  // fields after the last one are not read
    } else if (c >= '0' && c <= '9') {
      acc[n] += c;
    }
  }
  std::array<int, N> out;
  for (size_t i = 0; i < N; ++i) out[i] = StrToInt(acc[i]);
  return out;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const char* InactiveEffectWord(SkinInactiveEffect v) { return kInactiveWords[static_cast<int>(v)]; }
const char* MorphKindWord(SkinMorphKind v) { return kMorphWords[static_cast<int>(v)]; }
const char* CommandWord(SkinCommand v) { return kCommandWords[static_cast<int>(v)]; }

TRect ParseSkinRect(std::string_view value) {
  const auto f = ParseFields<4>(value);
  return {f[0], f[1], f[2], f[3]};
}

TPoint ParseSkinPoint(std::string_view value) {
  const auto f = ParseFields<2>(value);
  return {f[0], f[1]};
}

// ---------------------------------------------------------------------------------------------
bool TskIniText::NoCaseLess::operator()(std::string_view a, std::string_view b) const {
  // Shorter names first: most names looked up differ in length from most names they meet, and
  // those are told apart without reading a character.
  if (a.size() != b.size()) return a.size() < b.size();
  for (size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(AsciiLower(a[i])), y = static_cast<unsigned char>(AsciiLower(b[i]));
    if (x != y) return x < y;
  }
  return false;
}

void TskIniText::ForEachLine(std::string_view text, const std::function<void(std::string_view)>& line) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      line(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) line(text.substr(start));
}

std::vector<std::string> TskIniText::SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  ForEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

TskIniText::Section* TskIniText::FindSection(std::string_view name) {
  auto it = sectionIndex_.find(name);
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

const TskIniText::Section* TskIniText::FindSection(std::string_view name) const {
  auto it = sectionIndex_.find(name);
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

TskIniText::Section& TskIniText::AddSection(std::string_view name) {
  if (Section* s = FindSection(name)) return *s;
  sectionIndex_.emplace(std::string(name), sections_.size());
  sections_.push_back(Section{std::string(name), {}, {}});
  return sections_.back();
}

void TskIniText::SetKey(Section& s, std::string_view key, std::string value) {
  auto it = s.index.find(key);
  if (it != s.index.end()) {
    s.keys[it->second].second = std::move(value);
  } else {
    s.index.emplace(std::string(key), s.keys.size());
    s.keys.emplace_back(std::string(key), std::move(value));
  }
}

void TskIniText::SetLines(const std::vector<std::string>& lines) {
  Clear();
  Section* current = nullptr;
  for (const std::string& line : lines) ReadLine(line, current);
}

void TskIniText::SetText(std::string_view text) {
  Clear();
  Section* current = nullptr;
  ForEachLine(text, [&](std::string_view line) { ReadLine(line, current); });
}

void TskIniText::Clear() {
  sections_.clear();
  sectionIndex_.clear();
}

void TskIniText::ReadLine(std::string_view raw, Section*& current) {
  const std::string_view line = Trim(raw);
  if (line.empty() || line[0] == ';') return;
  if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
    const std::string_view name = Trim(line.substr(1, line.size() - 2));
    if (Section* old = FindSection(name)) {
      // A section given again replaces the earlier one entirely.
      old->keys.clear();
      old->index.clear();
      current = old;
    } else {
      current = &AddSection(name);
    }
    return;
  }
  if (!current) return;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return;
  SetKey(*current, Trim(line.substr(0, eq)), std::string(Trim(line.substr(eq + 1))));
}

std::vector<std::string> TskIniText::Lines() const {
  std::vector<std::string> out;
  for (const Section& s : sections_) {
    out.push_back("[" + s.name + "]");
    for (const auto& [k, v] : s.keys) out.push_back(k + "=" + v);
    out.emplace_back();
  }
  return out;
}

bool TskIniText::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool TskIniText::ValueExists(std::string_view section, std::string_view key) const {
  return Find(section, key) != nullptr;
}

const std::string* TskIniText::Find(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  auto it = s->index.find(key);
  return it == s->index.end() ? nullptr : &s->keys[it->second].second;
}

std::string TskIniText::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
  const std::string* v = Find(section, key);
  return v ? *v : def;
}

int TskIniText::ReadInteger(std::string_view section, std::string_view key, int def) const {
  const std::string* v = Find(section, key);
  int r;
  return v && TryStrToInt(*v, r) ? r : def;
}

bool TskIniText::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) == 1;
}

std::string_view TskIniText::ReadView(std::string_view section, std::string_view key, std::string_view def) const {
  const std::string* v = Find(section, key);
  return v ? std::string_view(*v) : def;
}

namespace {
void CheckCoordinates(std::initializer_list<int> values, std::string_view section, std::string_view key, std::string_view v) {
  for (int c : values)
    if (c < 0 || c > kMaxSkinCoordinate) throw ESkinGeometryError(Format(SSkinCoordinateTooLarge, {section, key, v}));
}
}  // namespace

TRect TskIniText::ReadRect(std::string_view section, std::string_view key) const {
  const std::string_view v = ReadView(section, key, "0,0,0,0");
  const TRect r = ParseSkinRect(v);
  CheckCoordinates({r.Left, r.Top, r.Right, r.Bottom}, section, key, v);
  return r;
}

TPoint TskIniText::ReadPoint(std::string_view section, std::string_view key) const {
  const std::string_view v = ReadView(section, key, "0,0");
  const TPoint p = ParseSkinPoint(v);
  CheckCoordinates({p.X, p.Y}, section, key, v);
  return p;
}

TFontStyles TskIniText::ReadFontStyle(std::string_view section, std::string_view key) const {
  const std::string_view v = ReadView(section, key, "");
  TFontStyles st = 0;
  if (v.find("fsbold") != std::string_view::npos) st |= fsBold;
  if (v.find("fsitalic") != std::string_view::npos) st |= fsItalic;
  if (v.find("fsunderline") != std::string_view::npos) st |= fsUnderline;
  if (v.find("fsstrikeout") != std::string_view::npos) st |= fsStrikeOut;
  return st;
}

TAlignment TskIniText::ReadAlignment(std::string_view section, std::string_view key) const {
  const std::string_view v = ReadView(section, key, "tacenter");
  if (v == "taleftjustify") return TAlignment::taLeftJustify;
  if (v == "tacenter") return TAlignment::taCenter;
  return TAlignment::taRightJustify;
}

SkinInactiveEffect TskIniText::ReadInactiveEffect(std::string_view section, std::string_view key) const {
  return static_cast<SkinInactiveEffect>(
      MatchWord(ReadView(section, key, "iebrightness"), kInactiveWords, static_cast<int>(SkinInactiveEffect::iegrayscale)));
}

SkinMorphKind TskIniText::ReadMorphKind(std::string_view section, std::string_view key) const {
  return static_cast<SkinMorphKind>(
      MatchWord(ReadView(section, key, "mkdefault"), kMorphWords, static_cast<int>(SkinMorphKind::mkdefault)));
}

SkinCommand TskIniText::ReadCommand(std::string_view section, std::string_view key) const {
  return static_cast<SkinCommand>(
      MatchWord(ReadView(section, key, "cmdefault"), kCommandWords, static_cast<int>(SkinCommand::cmminimizetotray)));
}

std::vector<std::string> TskIniText::ReadList(std::string_view section, std::string_view name) const {
  std::vector<std::string> items;
  const int count = EffectiveCount(section, ReadInteger(section, std::string(name) + "count", 0));
  for (int i = 0; i < count; ++i) items.push_back(ReadString(section, std::to_string(i), ""));
  return items;
}

int TskIniText::EffectiveCount(std::string_view section, int count) const {
  if (count <= 0) return 0;
  long long highest = -1;
  if (const Section* s = FindSection(section)) {
    for (const auto& [key, value] : s->keys) {
      if (key.empty() || key.size() > 10 || key.find_first_not_of("0123456789") != std::string::npos) continue;
      highest = std::max(highest, std::stoll(key));
    }
  }
  const long long limit = highest + 1 + kMaxMissingEntries;
  return static_cast<int>(std::min<long long>(count, limit));
}

void TskIniText::WriteString(std::string_view section, std::string_view key, const std::string& value) {
  SetKey(AddSection(section), key, value);
}

void TskIniText::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TskIniText::WriteRect(std::string_view section, std::string_view key, const TRect& r) {
  WriteString(section, key,
              std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
                  std::to_string(r.Bottom));
}

void TskIniText::WritePoint(std::string_view section, std::string_view key, const TPoint& p) {
  WriteString(section, key, std::to_string(p.X) + "," + std::to_string(p.Y));
}

void TskIniText::WriteFontStyle(std::string_view section, std::string_view key, TFontStyles style) {
  std::string v;
  auto add = [&](TFontStyles bit, const char* word) {
    if (!(style & bit)) return;
    if (!v.empty()) v += ",";
    v += word;
  };
  add(fsBold, "fsbold");
  add(fsItalic, "fsitalic");
  add(fsUnderline, "fsunderline");
  add(fsStrikeOut, "fsstrikeout");
  WriteString(section, key, v);
}

void TskIniText::WriteAlignment(std::string_view section, std::string_view key, TAlignment a) {
  WriteString(section, key,
              a == TAlignment::taLeftJustify ? "taleftjustify" : a == TAlignment::taCenter ? "tacenter" : "tarightjustify");
}

void TskIniText::WriteInactiveEffect(std::string_view section, std::string_view key, SkinInactiveEffect v) {
  WriteString(section, key, InactiveEffectWord(v));
}
void TskIniText::WriteMorphKind(std::string_view section, std::string_view key, SkinMorphKind v) {
  WriteString(section, key, MorphKindWord(v));
}
void TskIniText::WriteCommand(std::string_view section, std::string_view key, SkinCommand v) {
  WriteString(section, key, CommandWord(v));
}

void TskIniText::WriteList(std::string_view section, std::string_view name, const std::vector<std::string>& items) {
  WriteInteger(section, std::string(name) + "count", static_cast<int>(items.size()));
  for (size_t i = 0; i < items.size(); ++i) WriteString(section, std::to_string(i), items[i]);
}

void TskIniText::EraseSection(std::string_view section) {
  auto it = sectionIndex_.find(section);
  if (it == sectionIndex_.end()) return;
  const size_t pos = it->second;
  sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(pos));
  sectionIndex_.erase(it);
  for (auto& [name, p] : sectionIndex_)
    if (p > pos) --p;
}

}  // namespace corvane
