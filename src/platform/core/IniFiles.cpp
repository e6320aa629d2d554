#include "platform/core/IniFiles.h"

#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/core/Encoding.h"

namespace corvane {

namespace {

// The file is handled in its own encoding: GBK (the usual one), or, for a file that starts with a
// byte-order mark, UTF-8 text (a UTF-16 file is turned into UTF-8 first). GBK trail bytes include
// ASCII letters, "[", "]" and "\", so every scan steps over whole characters instead of looking at
// single bytes; in UTF-8 no ASCII byte is ever part of another character, so bytes are enough.

enum class Kind { Gbk, Utf8, Utf16Le, Utf16Be };

struct Codec {
  bool utf8;
  size_t Length(unsigned char b) const { return utf8 ? 1 : static_cast<size_t>(GbkCharLength(b)); }
};

size_t FindChar(Codec codec, std::string_view text, char c) {
  for (size_t i = 0; i < text.size(); i += codec.Length(static_cast<unsigned char>(text[i])))
    if (text[i] == c) return i;
  return std::string_view::npos;
}

// Blanks, tabs and stray carriage returns around names and values are not part of them. None of
// them is ever a trail byte, so trimming byte by byte is safe at either end.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(Codec codec, std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    size_t n = codec.Length(static_cast<unsigned char>(a[i]));
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
std::optional<std::string_view> SectionName(Codec codec, std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  size_t close = FindChar(codec, line, ']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// "key=value" gives the key; comment lines have none.
std::optional<std::string_view> KeyName(Codec codec, std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() == ';') return std::nullopt;
  size_t eq = FindChar(codec, line, '=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, eq));
}

std::string_view ValueOf(Codec codec, std::string_view line) {
  return Trim(line.substr(FindChar(codec, line, '=') + 1));
}

// --- UTF-16 -------------------------------------------------------------------------------------

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  auto unit = [&](size_t i) {
    unsigned char a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char32_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  };
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      u = 0xFFFD;  // a half of a pair on its own
    }
    AppendUtf8(out, u);
  }
  if (i < bytes.size()) AppendUtf8(out, 0xFFFD);  // an odd last byte
  return out;
}

std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian) {
  std::string out;
  auto put = [&](char32_t u) {
    char hi = static_cast<char>(u >> 8 & 0xFF), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  };
  for (size_t i = 0; i < utf8.size();) {
    char32_t ch = DecodeUtf8(utf8, i);
    if (ch >= 0x10000) {
      put(0xD800 + ((ch - 0x10000) >> 10));
      put(0xDC00 + ((ch - 0x10000) & 0x3FF));
    } else {
      put(ch);
    }
  }
  return out;
}

// --- the file ----------------------------------------------------------------------------------

const std::string kUtf8Bom = "\xEF\xBB\xBF", kUtf16LeBom = "\xFF\xFE", kUtf16BeBom = "\xFE\xFF";

struct Lines {
  Kind kind = Kind::Gbk;
  std::vector<std::string> lines;  // without their line ends, in GBK or (kind != Gbk) UTF-8
  std::vector<std::string> ends;   // each line's own end: CR LF, LF, CR or none (the last line)
  std::string eol = "\r\n";        // the file's first line end, given to new lines; CR LF for a new file
  Codec codec() const { return Codec{kind != Kind::Gbk}; }
};

Lines SplitLines(std::string_view bytes) {
  Lines out;
  std::string decoded;
  if (bytes.substr(0, 3) == kUtf8Bom) {
    out.kind = Kind::Utf8;
    bytes.remove_prefix(3);
  } else if (bytes.substr(0, 2) == kUtf16LeBom || bytes.substr(0, 2) == kUtf16BeBom) {
    out.kind = bytes[0] == '\xFE' ? Kind::Utf16Be : Kind::Utf16Le;
    decoded = Utf16ToUtf8(bytes.substr(2), out.kind == Kind::Utf16Be);
    bytes = decoded;
  }
  bool eolSeen = false;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    size_t endLength = end == bytes.size() ? 0 : (bytes.substr(end, 2) == "\r\n" ? 2 : 1);
    out.lines.emplace_back(bytes.substr(start, end - start));
    out.ends.emplace_back(bytes.substr(end, endLength));
    if (!eolSeen && endLength > 0) {
      out.eol = out.ends.back();
      eolSeen = true;
    }
    start = end + endLength;
  }
  return out;
}

void InsertLine(Lines& file, size_t at, std::string line) {
  file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  file.ends.insert(file.ends.begin() + static_cast<std::ptrdiff_t>(at), file.eol);
}

// The file's bytes again. A Unicode file goes back as GBK when all of it can be written so (the
// program's own encoding, which older readers of the file understand), else in its own encoding
// with its byte-order mark, so that nothing in it is lost.
std::string JoinLines(const Lines& file) {
  std::string text;
  for (size_t i = 0; i < file.lines.size(); ++i) text += file.lines[i] + (file.ends[i].empty() ? file.eol : file.ends[i]);
  if (file.kind == Kind::Gbk) return text;
  std::string gbk = Utf8ToGbk(text);
  if (IsValidUtf8(text) && GbkToUtf8(gbk) == text) return gbk;
  switch (file.kind) {
    case Kind::Utf16Le: return kUtf16LeBom + Utf8ToUtf16(text, false);
    case Kind::Utf16Be: return kUtf16BeBom + Utf8ToUtf16(text, true);
    default: return kUtf8Bom + text;
  }
}

// Where the section's lines are: [begin, end) after its header; nullopt when it is missing.
struct SectionSpan { size_t begin, end; };
std::optional<SectionSpan> FindSection(const Lines& file, std::string_view section) {
  const std::vector<std::string>& lines = file.lines;
  for (size_t i = 0; i < lines.size(); ++i) {
    auto name = SectionName(file.codec(), lines[i]);
    if (!name || !SameName(file.codec(), *name, section)) continue;
    size_t end = i + 1;
    while (end < lines.size() && !SectionName(file.codec(), lines[end])) ++end;
    return SectionSpan{i + 1, end};
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const Lines& file, SectionSpan span, std::string_view ident) {
  for (size_t i = span.begin; i < span.end; ++i) {
    auto key = KeyName(file.codec(), file.lines[i]);
    if (key && SameName(file.codec(), *key, ident)) return i;
  }
  return std::nullopt;
}

// Cuts to at most `limit` bytes without splitting a character.
std::string_view CutOnCharacter(const Lines& file, std::string_view text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t i = 0;
  if (file.codec().utf8) {
    i = limit;
    while (i > 0 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) --i;
    return text.substr(0, i);
  }
  while (i < text.size()) {
    size_t n = GbkCharLength(static_cast<unsigned char>(text[i]));
    if (i + n > limit) break;
    i += n;
  }
  return text.substr(0, std::min(i, text.size()));
}

// What ReadString gives for a key's line, as UTF-8.
std::string ValueAsRead(const Lines& file, std::string_view line) {
  std::string_view value = CutOnCharacter(file, ValueOf(file.codec(), line), TIniFile::kMaxValueBytes);
  if (!file.codec().utf8) return GbkToUtf8(value);
  std::string out;  // malformed UTF-8 shows as U+FFFD, as malformed GBK does
  for (size_t i = 0; i < value.size();) AppendUtf8(out, DecodeUtf8(value, i));
  return out;
}

// Names and values in the file's encoding.
std::string ToFile(const Lines& file, const std::string& utf8) { return file.codec().utf8 ? utf8 : Utf8ToGbk(utf8); }

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// The file's bytes; nullopt when it cannot be read (missing, not a regular file, too long, an
// I/O error). `missing` tells a file that is not there from one that is but cannot be read.
std::optional<std::string> ReadConfiguration(const std::string& fileName, bool& missing) {
  struct stat st {};
  missing = ::stat(NativePath(fileName).c_str(), &st) != 0 && errno == ENOENT;
  if (missing) return std::nullopt;
  try {
    return ReadFileBytes(fileName, TIniFile::kMaxFileBytes);
  } catch (const EStreamError&) {
    return std::nullopt;
  }
}

}  // namespace

std::string TIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) const {
  bool missing = false;
  std::optional<std::string> bytes = ReadConfiguration(fileName_, missing);
  if (!bytes) return def;
  Lines file = SplitLines(*bytes);
  auto span = FindSection(file, ToFile(file, section));
  if (!span) return def;
  auto at = FindKey(file, *span, ToFile(file, ident));
  if (!at) return def;
  return ValueAsRead(file, file.lines[*at]);
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  auto fail = [&] { throw EIniFileException(Format(SIniFileWriteError, {fileName_})); };
  if (HasLineBreak(section) || HasLineBreak(ident) || HasLineBreak(value)) fail();

  // An existing file that cannot be read (or is no file: a FIFO, a device) must not be replaced
  // by one holding only this value.
  bool missing = false;
  std::optional<std::string> bytes = ReadConfiguration(fileName_, missing);
  if (!bytes && !missing) fail();
  Lines file = SplitLines(bytes ? *bytes : std::string());
  const Codec codec = file.codec();
  const std::string fileSection = ToFile(file, section), fileIdent = ToFile(file, ident);
  if (Trim(fileIdent).empty() || FindChar(codec, fileIdent, '=') != std::string::npos ||
      FindChar(codec, fileSection, ']') != std::string::npos)
    fail();

  const std::string entry = std::string(Trim(fileIdent)) + "=" + ToFile(file, value);
  if (auto span = FindSection(file, Trim(fileSection))) {
    if (auto at = FindKey(file, *span, Trim(fileIdent))) {
      // A value written back as it was read keeps its line byte for byte (bytes that are not
      // GBK, which read as U+FFFD, among them).
      if (ValueAsRead(file, file.lines[*at]) != value) file.lines[*at] = entry;
    } else {
      // After the section's last line with content, before the blank lines that part it from
      // the next section.
      size_t pos = span->end;
      while (pos > span->begin && Trim(file.lines[pos - 1]).empty()) --pos;
      InsertLine(file, pos, entry);
    }
  } else {
    if (!file.lines.empty() && !Trim(file.lines.back()).empty()) InsertLine(file, file.lines.size(), "");
    InsertLine(file, file.lines.size(), "[" + std::string(Trim(fileSection)) + "]");
    InsertLine(file, file.lines.size(), entry);
  }

  try {
    WriteFileAtomically(fileName_, JoinLines(file));
  } catch (const EStreamError&) {
    fail();
  }
}

}  // namespace corvane
