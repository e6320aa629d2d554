// The skin description as an INI text: sections of keys, read with the description's own rules
// (names without regard to letter case, the later of two equal names wins, values trimmed), and
// the typed readers and writers every skin value goes through.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Types.h"
#include "platform/graphics/Graphics.h"

namespace corvane {

enum class SkinInactiveEffect : uint8_t { iebrightness, iedarkness, iegrayscale, ienoise, iesplitblur, ieinvert };
enum class SkinMorphKind : uint8_t { mkdefault, mkgradient, mkleftgradient, mkrightgradient, mkleftslide, mkrightslide, mkpush };
enum class SkinCommand : uint8_t { cmclose, cmmaximize, cmminimize, cmsysmenu, cmdefault, cmrollup, cmminimizetotray };

class TskIniText {
 public:
  TskIniText() = default;
  explicit TskIniText(const std::vector<std::string>& lines) { SetLines(lines); }
  // Splits text at CR LF, CR or LF.
  static std::vector<std::string> SplitLines(std::string_view text);
  // The same lines handed to `line` one by one, without copying them.
  static void ForEachLine(std::string_view text, const std::function<void(std::string_view)>& line);

  void SetLines(const std::vector<std::string>& lines);
  // The same as SetLines(SplitLines(text)).
  void SetText(std::string_view text);
  // The text as it would be written: sections in order, "key=value" lines, a blank line after each.
  std::vector<std::string> Lines() const;

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  // The raw value, or nullptr when the key is absent.
  const std::string* Find(std::string_view section, std::string_view key) const;

  std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def = false) const;
  TColor ReadColor(std::string_view section, std::string_view key, TColor def = 0) const {
    return ReadInteger(section, key, def);
  }
  // Raise EConvertError ("'' is not a valid integer value") when a field has no digits, and
  // ESkinGeometryError (SSkinCoordinateTooLarge) for a coordinate beyond kMaxSkinCoordinate: every
  // place a skin names lies within a picture, and a picture is never larger.
  TRect ReadRect(std::string_view section, std::string_view key) const;
  TPoint ReadPoint(std::string_view section, std::string_view key) const;
  TFontStyles ReadFontStyle(std::string_view section, std::string_view key) const;
  TAlignment ReadAlignment(std::string_view section, std::string_view key) const;
  SkinInactiveEffect ReadInactiveEffect(std::string_view section, std::string_view key) const;
  SkinMorphKind ReadMorphKind(std::string_view section, std::string_view key) const;
  SkinCommand ReadCommand(std::string_view section, std::string_view key) const;
  // "<name>count" then keys "0" .. count-1 (missing keys give empty items).
  std::vector<std::string> ReadList(std::string_view section, std::string_view name) const;
  // How many numbered entries a count of `count` can really mean in this section: the count,
  // but no more than kMaxMissingEntries past the highest numbered key present. A damaged count
  // of two thousand million then costs nothing.
  int EffectiveCount(std::string_view section, int count) const;
  static constexpr int kMaxMissingEntries = 4096;

  void WriteString(std::string_view section, std::string_view key, const std::string& value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value) { WriteInteger(section, key, value ? 1 : 0); }
  void WriteRect(std::string_view section, std::string_view key, const TRect& r);
  void WritePoint(std::string_view section, std::string_view key, const TPoint& p);
  void WriteFontStyle(std::string_view section, std::string_view key, TFontStyles style);
  void WriteAlignment(std::string_view section, std::string_view key, TAlignment a);
  void WriteInactiveEffect(std::string_view section, std::string_view key, SkinInactiveEffect v);
  void WriteMorphKind(std::string_view section, std::string_view key, SkinMorphKind v);
  void WriteCommand(std::string_view section, std::string_view key, SkinCommand v);
  void WriteList(std::string_view section, std::string_view name, const std::vector<std::string>& items);
  void EraseSection(std::string_view section);

 private:
  // Orders names by length, then with ASCII case ignored, and finds them from views without a
  // lower-case copy.
  struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
  };
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;  // in order; names as first written
    std::map<std::string, size_t, NoCaseLess> index;        // key -> position in keys
  };
  void Clear();
  // Reads one line of the text; `current` is the section the line is in.
  void ReadLine(std::string_view line, Section*& current);
  // The raw value, or `def` when the key is absent (a view into this text or into `def`).
  std::string_view ReadView(std::string_view section, std::string_view key, std::string_view def) const;
  Section* FindSection(std::string_view name);
  const Section* FindSection(std::string_view name) const;
  Section& AddSection(std::string_view name);
  static void SetKey(Section& s, std::string_view key, std::string value);

  std::vector<Section> sections_;
  std::map<std::string, size_t, NoCaseLess> sectionIndex_;  // name -> position
};

inline constexpr int kMaxSkinCoordinate = 32768;
class ESkinGeometryError : public Exception { using Exception::Exception; };
inline constexpr const char* SSkinCoordinateTooLarge = "Skin description [%s] %s=%s: coordinates go up to 32768";
inline constexpr const char* SClientRectOutsidePicture =
    "Skin description [FORMINFO] clientrect=%s lies outside the skin picture (%s x %s)";

// Reads a rectangle or point value digit by digit (blanks, signs and letters are skipped).
TRect ParseSkinRect(std::string_view value);
TPoint ParseSkinPoint(std::string_view value);

const char* InactiveEffectWord(SkinInactiveEffect v);
const char* MorphKindWord(SkinMorphKind v);
const char* CommandWord(SkinCommand v);

}  // namespace corvane
