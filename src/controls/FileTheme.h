// Themes read from a file: a reader of the binary theme-file layout, the manager that holds the
// loaded file, and the non-visual component the controls refer to through `FileTheme`.
//
// Layout of a theme file (all integers 32-bit little-endian):
//   offset 12  header size (at least 24, at most the file size)
//   offset 20  offset of the first entry record
//   entry record, 77 bytes: name (64 bytes, zero-padded; the element key), kind (1 byte:
//   0 image data, 1 32-bit integer, 2 one-byte boolean, 3 text), data offset, data size,
//   offset of the next record (0 = none). The record that carries 0 closes the chain; its own
//   data is not read.
// A file that breaks this layout (too short, offsets or sizes outside the file, a record chain
// that loops, integer or boolean data of the wrong size) is rejected as a whole with
// ETthThemeFileError; nothing of it is used.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/core/Classes.h"
#include "platform/graphics/Graphics.h"

namespace corvane {

class ETthThemeFileError : public Exception { using Exception::Exception; };

class TthThemeFileReader {
 public:
  enum class EntryKind : uint8_t { Image = 0, Integer = 1, Boolean = 2, Text = 3 };
  struct Entry {
    EntryKind kind;
    std::string data;  // the entry's bytes
  };

  // Parses the bytes of a theme file; `fileName` only names the file in error messages.
  // Raises ETthThemeFileError when the bytes do not follow the layout.
  TthThemeFileReader(std::string bytes, const std::string& fileName);

  const Entry* Find(const std::string& key) const;
  int EntryCount() const { return static_cast<int>(entries_.size()); }
  // The boolean stored under the key: nullopt when it is missing or not a number.
  std::optional<bool> BoolOf(const std::string& key) const;
  // The integer stored under the key: nullopt when it is missing or not a number.
  std::optional<int32_t> IntOf(const std::string& key) const;
  // Loads the image stored under the key; false when there is none. Raises EInvalidGraphic when
  // the stored data is not a valid bitmap.
  bool ImageOf(const std::string& key, TBitmap& target) const;

 private:
  std::map<std::string, Entry> entries_;  // the first record of a key wins
};

// Holds at most one loaded theme file.
class TthFileThemeMgr {
 public:
  // Reads and parses the file, replacing the one held before only when this succeeds. Raises
  // EFOpenError when the file cannot be read and ETthThemeFileError when it is malformed.
  void Load(const std::string& path);
  void Release() { reader_.reset(); }
  const TthThemeFileReader* Reader() const { return reader_.get(); }
 private:
  std::unique_ptr<TthThemeFileReader> reader_;
};

class TthFileTheme;

// A control that takes its theme elements from a `FileTheme` component.
class TthFileThemeClient {
 public:
  virtual ~TthFileThemeClient() = default;
  virtual TthFileTheme* FileTheme() const = 0;
  virtual void SetFileTheme(TthFileTheme* theme) = 0;
};

class TthFileTheme : public TComponent {
 public:
  explicit TthFileTheme(TComponent* owner);
  ~TthFileTheme() override;
  std::string ClassName() const override { return "TthFileTheme"; }

  const std::string& ThemeFile() const { return themeFile_; }
  // Loads the theme file at the path, or at the program's directory joined with the path's file
  // name when there is no file at the path. When neither exists nothing changes. A file that
  // exists but is malformed or unreadable raises ETthThemeFileError / EFOpenError and leaves
  // the component as it was.
  void SetThemeFile(const std::string& path);
  bool IsLoaded() const { return loaded_; }

  // Answers by element key; missing or unusable values give false / -1 / no image.
  bool BoolOf(const std::string& key) const;
  int32_t IntOf(const std::string& key) const;
  TColor ColorOf(const std::string& key) const { return static_cast<TColor>(IntOf(key)); }
  bool ImageOf(const std::string& key, TBitmap& target) const;

 private:
  std::string themeFile_;
  TthFileThemeMgr mgr_;
  bool loaded_ = false;
};

}  // namespace corvane
