// Component model, exceptions and streams.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class TObject {
 public:
  virtual ~TObject() = default;
  // The class name as the layouts and the "Tth..." / "Tsk..." lookups see it.
  virtual std::string ClassName() const { return "TObject"; }
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// ---------------------------------------------------------------------------------------------
// Exceptions. Message texts are the platform's own; see the constants below.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};
class EStreamError : public Exception { using Exception::Exception; };
class EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { using EStreamError::EStreamError; };
class EReadError : public EStreamError { using EStreamError::EStreamError; };
class EWriteError : public EStreamError { using EStreamError::EStreamError; };
class EConvertError : public Exception { using Exception::Exception; };
class EInvalidGraphic : public Exception { using Exception::Exception; };
class EInvalidOperation : public Exception { using Exception::Exception; };
class EInvalidCast : public Exception { using Exception::Exception; };
class EIniFileException : public Exception { using Exception::Exception; };
class EComponentError : public Exception { using Exception::Exception; };
class ELayoutError : public Exception { using Exception::Exception; };
// Thrown silently: the event loop swallows it without an error box.
class EAbort : public Exception { public: EAbort() : Exception("Operation aborted") {} };

inline constexpr const char* SFOpenError = "Cannot open file %s";
inline constexpr const char* SFCreateError = "Cannot create file %s";
inline constexpr const char* SInvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SIniFileWriteError = "Unable to write to %s";
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";

// Replaces each "%s" of the pattern with the next argument (the only form the messages use).
std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args);

// String to integer as the platform converts text: optional sign, decimal or "$"/"0x" hex.
// Raises EConvertError with SInvalidInteger on anything else.
int StrToInt(const std::string& s);
bool TryStrToInt(const std::string& s, int& value);

// ---------------------------------------------------------------------------------------------
// Components: an owner tree with names, state and free notification.
class TComponent;

enum TComponentStateFlag : unsigned { csLoading = 1, csReading = 2, csWriting = 4, csDestroying = 8, csDesigning = 16 };
using TComponentState = unsigned;

enum class TOperation { opInsert, opRemove };

class TPersistent : public TObject {
 public:
  std::string ClassName() const override { return "TPersistent"; }
};

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  std::string ClassName() const override { return "TComponent"; }

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& name);
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(index); }
  int ComponentIndex() const;
  TComponent* FindComponent(std::string_view name) const;

  TComponentState ComponentState() const { return state_; }
  bool IsLoading() const { return state_ & csLoading; }
  bool IsDestroying() const { return state_ & csDestroying; }
  bool IsDesigning() const { return state_ & csDesigning; }
  void SetDesigning(bool on);

  // Asks to be told (Notification with opRemove) when `other` is destroyed, and tells `other`
  // the same about this component.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);

  // Loading protocol used by the layout loader.
  virtual void BeginLoading() { state_ |= csLoading | csReading; }
  // Called by the layout loader for a component written inside another one that is not a
  // control (an action inside its action list, a menu item inside its menu).
  virtual void SetParentComponent(TComponent* parent) {}
  virtual void Loaded() { state_ &= ~(csLoading | csReading); }

  // Destroys the owned components (last created first) before the component itself goes.
  void DestroyComponents();

  // Marks the component as being destroyed; called first thing by the most derived destructors
  // that still need to look at their state during teardown.
  void Destroying();

  void* Tag = nullptr;
  intptr_t TagValue = 0;

 protected:
  virtual void Notification(TComponent* component, TOperation operation);
  // Points `slot` at `value`, moving this component's free notification from the component it
  // named to the new one.
  template <class T>
  void SetReference(T*& slot, T* value) {
    if (slot == value) return;
    if (slot) slot->RemoveFreeNotification(this);
    slot = value;
    if (slot) slot->FreeNotification(this);
  }

 private:
  TComponent* owner_ = nullptr;
  std::string name_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  TComponentState state_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Streams.
enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
 public:
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t size);

  // Reads or writes exactly count bytes or raises EReadError / EWriteError.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies count bytes (all from the start when count is 0) from source; returns the count copied.
  int64_t CopyFrom(TStream& source, int64_t count);

  void WriteString(std::string_view s) { WriteBuffer(s.data(), static_cast<int64_t>(s.size())); }
  std::string ReadAll();
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes) : data_(std::move(bytes)) {}
  std::string ClassName() const override { return "TMemoryStream"; }
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  void SetSize(int64_t size) override;
  void Clear() { data_.clear(); pos_ = 0; }
  const std::string& Bytes() const { return data_; }
  std::string& Bytes() { return data_; }
  const char* Memory() const { return data_.data(); }
  void LoadFromStream(TStream& s);
  void LoadFromFile(const std::string& path);
  void SaveToStream(TStream& s) { s.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size())); }
  void SaveToFile(const std::string& path);

 private:
  std::string data_;
  int64_t pos_ = 0;
};

enum class TFileMode { fmOpenRead, fmOpenReadWrite, fmCreate };

class TFileStream : public TStream {
 public:
  // `path` is reported in error messages exactly as given; backslashes are read as separators.
  TFileStream(const std::string& path, TFileMode mode);
  ~TFileStream() override;
  std::string ClassName() const override { return "TFileStream"; }
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;
  const std::string& FileName() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};

// File helpers. Paths written with backslashes (`dat\a1.rtf`) are accepted everywhere.
std::string NativePath(const std::string& path);
bool FileExists(const std::string& path);
// Opening a file for reading (ReadFileBytes, TFileStream's read modes) accepts only a regular
// file, or a symbolic link to one: a FIFO, a device, a socket or a directory is refused without
// ever blocking or reading from it, with EFOpenError "Cannot open file %s".
// The largest file ReadFileBytes reads unless given another limit: 16 MB, far above any document
// of the program (the largest is some tens of kilobytes) and small enough to read at once.
inline constexpr int64_t kMaxReadFileBytes = int64_t{16} << 20;
// Reads the whole file or raises EFOpenError naming the path as given: also when the file is not
// a regular file, is longer than `limit` bytes, or fails to read to its end.
std::string ReadFileBytes(const std::string& path, int64_t limit = kMaxReadFileBytes);
// Replaces the file's content so that nothing is lost on failure, keeping what the user set up:
// - a symbolic link is followed (up to 40 links) and its final target is written; the link
//   stays a link;
// - the target must be a regular file (or missing); one without write permission for anybody, or
//   not writable by this process, is refused (a read-only file is never replaced);
// - a plain file is replaced at once: a temporary file `.<name>.XXXXXX` is written beside the
//   target, given the target's mode and (as far as permitted) owner, flushed to disk and renamed
//   over it, and the folder is flushed after the rename; a failure leaves the old file untouched;
// - the replacement keeps the target's extended attributes of the user namespace and its access
//   control lists (so the mode's group bits keep their meaning);
// - a file with more than one hard link is rewritten in place, so that every name sees the new
//   content: the new content is first put beside it, whole and flushed, as `.<name>.rewrite`;
//   then the space is reserved (so a full disk fails before anything changes), the content
//   written, the file cut to length and flushed, and the journal removed. A rewrite cut short by a
//   kill is finished from the journal by RemoveLeftoverTemporaryFiles.
// Raises EFCreateError "Cannot create file %s" naming the path as given.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
// Test seam: when set, WriteFileAtomically calls it before renaming and fails if it returns false
// (used to simulate a full disk or a crash between the write and the rename).
extern std::function<bool(const std::string& tempPath)> gBeforeAtomicRename;
// Test seam: called during a rewrite in place after the new content is written and before the
// file is cut to length; the rewrite fails if it returns false.
extern std::function<bool(const std::string& target)> gBeforeInPlaceTruncate;
// Cleans up after an interrupted WriteFileAtomically of this path: finishes a rewrite in place
// from its journal, and removes the temporary files left beside the target (regular files named
// `.<name>.` and six letters or digits). Returns how many files it removed; failures are ignored.
int RemoveLeftoverTemporaryFiles(const std::string& path);
// What a file held when it was looked at, to tell later whether anybody has changed it since:
// whether it existed, its size, modification time and a hash of its content. Two stamps are the
// same file content when both say it is missing, or both have the same size and hash (a file
// only touched is not changed).
struct TFileStamp {
  bool exists = false;
  int64_t size = 0;
  int64_t mtimeNs = 0;
  uint64_t hash = 0;
  bool SameContent(const TFileStamp& o) const {
    return exists == o.exists && (!exists || (size == o.size && hash == o.hash));
  }
};
// The stamp of the file the path names now (through links); a file that cannot be read (missing,
// no regular file, over the read limit) is stamped as missing.
TFileStamp FileStampOf(const std::string& path);
// Whether another running process uses the folder too: every process that asks keeps a shared
// lock on it for the rest of its run, and one that cannot have it alone for a moment is not alone.
// False when the folder cannot be opened.
bool FolderSharedWithAnotherProcess(const std::string& folder);
std::string ExtractFilePath(const std::string& path);  // with trailing separator
std::string ExtractFileName(const std::string& path);
// The full path of the running program.
std::string ParamStr0();

}  // namespace corvane
