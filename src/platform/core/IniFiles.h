// Configuration files: INI text in the GBK encoding (code page 936), read and written by section
// and key. A file that starts with a byte-order mark is read as UTF-8 or UTF-16 (little or big
// endian); written back, it becomes GBK when all of its text can be written so, else it keeps
// its encoding and mark. Lines may end in CR LF, LF or CR; every line keeps its own end, and new
// lines get the file's first one (CR LF in a new file or one without line ends).
//
//   [section]
//   key=value
//
// Section and key names match without regard to the case of their ASCII letters. Blanks, tabs and
// stray carriage returns around names and values are not part of them. Every call goes to the file
// itself: nothing is cached, and every write replaces the whole file at once
// (WriteFileAtomically), so a failed write leaves the previous file as it was.
#pragma once

#include <string>

#include "platform/core/Classes.h"

namespace corvane {

class TIniFile : public TObject {
 public:
  // The longest value ReadString returns, in bytes of the file's encoding.
  static constexpr size_t kMaxValueBytes = 2047;
  // The longest file read: 1 MB, a thousand times what the program's titles need. A longer file
  // (or one that is not a regular file: a FIFO, a device) reads as missing and is never replaced.
  static constexpr int64_t kMaxFileBytes = int64_t{1} << 20;

  explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
  std::string ClassName() const override { return "TIniFile"; }
  const std::string& FileName() const { return fileName_; }

  // The value of the first matching key in the first matching section, as UTF-8; `def` when the
  // file, the section or the key is missing or the file cannot be read. A longer value is cut to
  // its first kMaxValueBytes bytes, ending before a character that would not fit whole.
  std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) const;

  // Stores the value (UTF-8, stored as GBK; characters GBK lacks become "?"), creating the file,
  // the section or the key as needed. A value equal to what ReadString gives for the key leaves
  // its line as it is, byte for byte. Every other line (comments, unknown lines, other sections)
  // stays as it was. What the format cannot hold (a line break anywhere, "=" in a key, "]" in a
  // section name, an empty key) is refused like a failed write: EIniFileException "Unable to
  // write to %s" naming the file, which is left untouched.
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);

 private:
  std::string fileName_;
};

}  // namespace corvane
