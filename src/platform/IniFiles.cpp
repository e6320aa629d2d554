#include "IniFiles.h"

#include <optional>
#include <string_view>
#include <vector>

#include "Encoding.h"

namespace corvane {

namespace {

// The file is handled in its own encoding. GBK trail bytes include ASCII letters, "[", "]" and
// "\", so every scan steps over whole characters instead of looking at single bytes.

size_t FindChar(std::string_view gbk, char c) {
  for (size_t i = 0; i < gbk.size(); i += GbkCharLength(static_cast<unsigned char>(gbk[i])))
    if (gbk[i] == c) return i;
  return std::string_view::npos;
}

// Blanks, tabs and stray carriage returns around names and values are not part of them (so a
// line reads the same whatever line end it is written back with). None of them is ever a trail
// byte, so trimming byte by byte is safe at either end.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    int n = GbkCharLength(static_cast<unsigned char>(a[i]));
    if (n == 1) {
      if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    } else if (a.substr(i, n) != b.substr(i, n)) {
      return false;
    }
    i += n;
  }
  return true;
}

// "[name]" (blanks allowed around the line and the name) gives the name.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  size_t close = FindChar(line, ']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// "key=value" gives the key; comment lines have none.
std::optional<std::string_view> KeyName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() == ';') return std::nullopt;
  size_t eq = FindChar(line, '=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, eq));
}

std::string_view ValueOf(std::string_view line) { return Trim(line.substr(FindChar(line, '=') + 1)); }

struct Lines {
  std::vector<std::string> lines;  // without their line ends
  std::string eol = "\r\n";        // what the file uses; new files get the usual CR LF
};

Lines SplitLines(const std::string& bytes) {
  Lines out;
  if (bytes.find('\n') != std::string::npos && bytes.find("\r\n") == std::string::npos) out.eol = "\n";
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.lines.push_back(std::move(line));
    start = end + 1;
  }
  return out;
}

// Where the section's lines are: [begin, end) after its header; nullopt when it is missing.
struct SectionSpan { size_t begin, end; };
std::optional<SectionSpan> FindSection(const std::vector<std::string>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    auto name = SectionName(lines[i]);
    if (!name || !SameName(*name, section)) continue;
    size_t end = i + 1;
    while (end < lines.size() && !SectionName(lines[end])) ++end;
    return SectionSpan{i + 1, end};
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<std::string>& lines, SectionSpan span, std::string_view ident) {
  for (size_t i = span.begin; i < span.end; ++i) {
    auto key = KeyName(lines[i]);
    if (key && SameName(*key, ident)) return i;
  }
  return std::nullopt;
}

// Cuts to at most `limit` bytes without splitting a double-byte character.
std::string_view CutOnCharacter(std::string_view gbk, size_t limit) {
  size_t i = 0;
  while (i < gbk.size()) {
    size_t n = GbkCharLength(static_cast<unsigned char>(gbk[i]));
    if (i + n > limit) break;
    i += n;
  }
  return gbk.substr(0, std::min(i, gbk.size()));
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

std::string TIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) const {
  std::string bytes;
  try {
    bytes = ReadFileBytes(fileName_);
  } catch (const EStreamError&) {
    return def;
  }
  Lines file = SplitLines(bytes);
  auto span = FindSection(file.lines, Utf8ToGbk(section));
  if (!span) return def;
  auto at = FindKey(file.lines, *span, Utf8ToGbk(ident));
  if (!at) return def;
  return GbkToUtf8(CutOnCharacter(ValueOf(file.lines[*at]), kMaxValueBytes));
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  const std::string gbkSection = Utf8ToGbk(section), gbkIdent = Utf8ToGbk(ident), gbkValue = Utf8ToGbk(value);
  auto fail = [&] { throw EIniFileException(Format(SIniFileWriteError, {fileName_})); };
  if (HasLineBreak(section) || HasLineBreak(ident) || HasLineBreak(value) || Trim(gbkIdent).empty() ||
      FindChar(gbkIdent, '=') != std::string::npos || FindChar(gbkSection, ']') != std::string::npos)
    fail();

  // An existing file that cannot be read must not be replaced by one holding only this value.
  std::string bytes;
  if (FileExists(fileName_)) {
    try {
      bytes = ReadFileBytes(fileName_);
    } catch (const EStreamError&) {
      fail();
    }
  }
  Lines file = SplitLines(bytes);
  std::vector<std::string>& lines = file.lines;
  const std::string entry = std::string(Trim(gbkIdent)) + "=" + gbkValue;
  if (auto span = FindSection(lines, Trim(gbkSection))) {
    if (auto at = FindKey(lines, *span, Trim(gbkIdent))) {
      lines[*at] = entry;
    } else {
      // After the section's last line with content, before the blank lines that part it from
      // the next section.
      size_t pos = span->end;
      while (pos > span->begin && Trim(lines[pos - 1]).empty()) --pos;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(pos), entry);
    }
  } else {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + std::string(Trim(gbkSection)) + "]");
    lines.push_back(entry);
  }

  std::string out;
  for (const std::string& line : lines) out += line + file.eol;
  try {
    WriteFileAtomically(fileName_, out);
  } catch (const EStreamError&) {
    fail();
  }
}

}  // namespace corvane
