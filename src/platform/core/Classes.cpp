#include "platform/core/Classes.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cctype>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <dirent.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace corvane {

std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args) {
  std::string out;
  auto it = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
      if (it != args.end()) out += *it++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

bool TryStrToInt(const std::string& s, int& value) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') { base = 16; ++i; }
  else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) { base = 16; i += 2; }
  if (i >= s.size()) return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    int d;
    char c = s[i];
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    v = v * base + d;
    if (base == 10 && v > static_cast<long long>(INT_MAX) + 1) return false;
    if (base == 16 && v > 0xFFFFFFFFLL) return false;
  }
  if (base == 16) {
    value = static_cast<int>(static_cast<uint32_t>(v));
    if (neg) value = -value;
    return true;
  }
  if (neg) v = -v;
  if (v > INT_MAX || v < INT_MIN) return false;
  value = static_cast<int>(v);
  return true;
}

int StrToInt(const std::string& s) {
  int v;
  if (!TryStrToInt(s, v)) throw EConvertError(Format(SInvalidInteger, {s}));
  return v;
}

// ---------------------------------------------------------------------------------------------
TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell everyone who asked that this component is going away.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& theirs = other->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    other->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Destroying() { state_ |= csDestroying; }

void TComponent::SetName(const std::string& name) { name_ = name; }

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto& v = owner_->components_;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  for (TComponent* c : components_) {
    if (c->name_.size() == name.size() &&
        std::equal(name.begin(), name.end(), c->name_.begin(),
                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                               std::tolower(static_cast<unsigned char>(b)); }))
      return c;
  }
  return nullptr;
}

void TComponent::SetDesigning(bool on) {
  if (on) state_ |= csDesigning; else state_ &= ~csDesigning;
  for (TComponent* c : components_) c->SetDesigning(on);
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end())
    freeNotifies_.push_back(other);
  auto& theirs = other->freeNotifies_;
  if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), other), freeNotifies_.end());
  auto& theirs = other->freeNotifies_;
  theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::InsertComponent(TComponent* c) {
  if (c->owner_) c->owner_->RemoveComponent(c);
  components_.push_back(c);
  c->owner_ = this;
  for (TComponent* sibling : components_)
    if (sibling != c) sibling->Notification(c, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
  auto it = std::find(components_.begin(), components_.end(), c);
  if (it == components_.end()) return;
  components_.erase(it);
  c->owner_ = nullptr;
  // Owned siblings hear about the removal, so references between them are cleared.
  for (TComponent* sibling : components_) sibling->Notification(c, TOperation::opRemove);
  Notification(c, TOperation::opRemove);
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    RemoveComponent(c);
    delete c;
  }
}

void TComponent::Notification(TComponent*, TOperation) {}

// ---------------------------------------------------------------------------------------------
int64_t TStream::Size() {
  int64_t pos = Seek(0, TSeekOrigin::soCurrent);
  int64_t end = Seek(0, TSeekOrigin::soEnd);
  Seek(pos, TSeekOrigin::soBeginning);
  return end;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream does not support size changes"); }

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(SWriteError);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  int64_t done = 0;
  char buf[65536];
  while (done < count) {
    int64_t n = std::min<int64_t>(sizeof buf, count - done);
    source.ReadBuffer(buf, n);
    WriteBuffer(buf, n);
    done += n;
  }
  return done;
}

std::string TStream::ReadAll() {
  std::string out;
  char buf[65536];
  for (;;) {
    int64_t n = Read(buf, sizeof buf);
    if (n <= 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  return out;
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || pos_ >= static_cast<int64_t>(data_.size())) return 0;
  int64_t n = std::min<int64_t>(count, static_cast<int64_t>(data_.size()) - pos_);
  std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (pos_ + count > static_cast<int64_t>(data_.size())) data_.resize(static_cast<size_t>(pos_ + count));
  std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(count));
  pos_ += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == TSeekOrigin::soBeginning ? 0
               : origin == TSeekOrigin::soCurrent ? pos_ : static_cast<int64_t>(data_.size());
  pos_ = std::max<int64_t>(0, base + offset);
  return pos_;
}

void TMemoryStream::SetSize(int64_t size) {
  data_.resize(static_cast<size_t>(std::max<int64_t>(0, size)));
  if (pos_ > size) pos_ = size;
}

void TMemoryStream::LoadFromStream(TStream& s) {
  s.SetPosition(0);
  data_ = s.ReadAll();
  pos_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& path) {
  data_ = ReadFileBytes(path);
  pos_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& path) { WriteFileAtomically(path, data_); }

// ---------------------------------------------------------------------------------------------
std::string NativePath(const std::string& path) {
  std::string p = path;
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

// Opens a file for reading (or reading and writing) only when it is a regular file. The type is
// looked at before opening, so a device is never opened (opening some has effects of its own),
// and the file is opened without blocking (a FIFO put in its place between the two looks cannot
// stop the program) and looked at again. Returns -1 on any failure.
int OpenRegularFile(const std::string& native, int accessMode) {
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  int fd = ::open(native.c_str(), accessMode | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return -1;
  int flags = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

TFileStream::TFileStream(const std::string& path, TFileMode mode) : path_(path) {
  std::string native = NativePath(path);
  if (mode == TFileMode::fmCreate) {
    fd_ = ::open(native.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) throw EFCreateError(Format(SFCreateError, {path}));
  } else {
    fd_ = OpenRegularFile(native, mode == TFileMode::fmOpenRead ? O_RDONLY : O_RDWR);
    if (fd_ < 0) throw EFOpenError(Format(SFOpenError, {path}));
  }
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    // A failing read is not the end of the file: taking it for one would hand out a cut-off
    // document as if it were whole (and the notes editor would save it back that way).
    if (n < 0) throw EReadError(SReadError);
    if (n == 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET : origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(fd_, offset, whence);
  return r < 0 ? -1 : r;
}

void TFileStream::SetSize(int64_t size) {
  if (::ftruncate(fd_, size) != 0) throw EWriteError(SWriteError);
}

std::string ReadFileBytes(const std::string& path, int64_t limit) {
  const int fd = OpenRegularFile(NativePath(path), O_RDONLY);
  auto cannotOpen = [&] { return EFOpenError(Format(SFOpenError, {path})); };
  if (fd < 0) throw cannotOpen();
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_size > limit) {
    ::close(fd);
    throw cannotOpen();
  }
  // The size is only a hint (a file may grow while it is read, some report none): the reading
  // stops one byte past the limit, which is then an error too. A failing read is an error, never
  // a shorter file.
  std::string out;
  out.resize(static_cast<size_t>(std::min<int64_t>(st.st_size, limit) + 1));
  size_t done = 0;
  for (;;) {
    if (done == out.size()) {
      if (static_cast<int64_t>(done) > limit) break;
      out.resize(static_cast<size_t>(std::min<int64_t>(limit + 1, static_cast<int64_t>(done) * 2 + 65536)));
    }
    ssize_t n = ::read(fd, out.data() + done, out.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n < 0) done = static_cast<size_t>(limit) + 1;  // an I/O error
      break;
    }
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  if (static_cast<int64_t>(done) > limit) throw cannotOpen();
  out.resize(done);
  return out;
}

std::function<bool(const std::string& tempPath)> gBeforeAtomicRename;
std::function<bool(const std::string& target)> gBeforeInPlaceTruncate;

namespace {

// Follows symbolic links from `native` to the path that is finally written: the first that is not
// a link (or does not exist). False for a loop or a chain that is too long.
bool ResolveTarget(const std::string& native, std::string& target) {
  target = native;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::string link(static_cast<size_t>(PATH_MAX), '\0');
    ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n <= 0 || n >= static_cast<ssize_t>(link.size())) return false;
    link.resize(static_cast<size_t>(n));
    target = link.front() == '/' ? link : ExtractFilePath(target) + link;
  }
  return false;
}

bool WriteAll(int fd, std::string_view bytes, off_t at) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, at + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Writes the file where it is: the space is reserved first, so a full disk fails before the old
// content is touched (a file system without reservations goes on; its failure would then come
// from the writing), then the whole new content, then the file is cut to its length and flushed.
// `touched` tells whether the old content may have been changed when it fails.
bool WriteInPlace(const std::string& target, std::string_view bytes, bool& touched) {
  touched = false;
  int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok && !bytes.empty()) {
    int r = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
    ok = r == 0 || r == EOPNOTSUPP || r == EINVAL;
  }
  if (ok) {
    touched = true;
    ok = WriteAll(fd, bytes, 0);
  }
  if (ok && gBeforeInPlaceTruncate) ok = gBeforeInPlaceTruncate(target);
  if (ok) ok = ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  return ok;
}

void SyncFolder(const std::string& dir);

// The complete new content of a file being rewritten in place, kept beside it until the rewrite
// is done.
std::string RewriteJournalOf(const std::string& target) {
  return ExtractFilePath(target) + "." + ExtractFileName(target) + ".rewrite";
}

// A file with several names: every name must see the new content, so it is rewritten where it
// is. That cannot happen in one step, so the new content is first put beside it, whole and
// flushed, under the journal's name (a rename, so a journal is never partial); a rewrite cut
// short by a kill is finished from it when the file is next opened
// (RemoveLeftoverTemporaryFiles), so the file ends up old or new, never part of each.
bool RewriteInPlace(const std::string& target, std::string_view bytes) {
  const std::string dir = ExtractFilePath(target), journal = RewriteJournalOf(target);
  std::string temp = dir + "." + ExtractFileName(target) + ".XXXXXX";
  std::vector<char> tmpl(temp.begin(), temp.end());
  tmpl.push_back('\0');
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes, 0) && ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(tmpl.data(), journal.c_str()) == 0;
  if (!ok) {
    ::unlink(tmpl.data());
    return false;
  }
  SyncFolder(dir);
  bool touched = false;
  ok = WriteInPlace(target, bytes, touched);
  // A rewrite that failed before touching the file leaves it old; one that failed later is
  // finished from the journal at the next opening.
  if (ok || !touched) {
    ::unlink(journal.c_str());
    SyncFolder(dir);
  }
  return ok;
}

// Copies what the user set on a file beside its content: the extended attributes of the user
// namespace and the access control lists (which also give the group bits of the mode their
// meaning). False when one of them cannot be copied.
bool CopyKeptAttributes(const std::string& from, int to) {
  ssize_t n = ::listxattr(from.c_str(), nullptr, 0);
  if (n < 0) return errno == ENOTSUP;  // a file system without them has nothing to keep
  std::string names(static_cast<size_t>(n), '\0');
  n = ::listxattr(from.c_str(), names.data(), names.size());
  if (n < 0) return false;
  names.resize(static_cast<size_t>(n));
  for (size_t at = 0; at < names.size();) {
    const std::string name = names.c_str() + at;
    at += name.size() + 1;
    if (name.rfind("user.", 0) != 0 && name != "system.posix_acl_access" && name != "system.posix_acl_default") continue;
    ssize_t size = ::getxattr(from.c_str(), name.c_str(), nullptr, 0);
    if (size < 0) return false;
    std::string value(static_cast<size_t>(size), '\0');
    size = ::getxattr(from.c_str(), name.c_str(), value.data(), value.size());
    if (size < 0) return false;
    value.resize(static_cast<size_t>(size));
    if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) return false;
  }
  return true;
}

void SyncFolder(const std::string& dir) {
  int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // the file is already in place; a folder that cannot be flushed loses nothing more
  ::close(fd);
}

bool IsTemporaryNameOf(std::string_view entry, std::string_view name) {
  if (entry.size() != name.size() + 8 || entry[0] != '.' || entry.substr(1, name.size()) != name ||
      entry[name.size() + 1] != '.')
    return false;
  for (char c : entry.substr(name.size() + 2))
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  auto cannotCreate = [&] { return EFCreateError(Format(SFCreateError, {path})); };
  std::string target;
  if (!ResolveTarget(NativePath(path), target)) throw cannotCreate();
  struct stat st {};
  const bool exists = ::lstat(target.c_str(), &st) == 0;
  if (exists) {
    // Only a regular file is replaced, and never one that is read-only: marked so for everybody
    // (which stops even the administrator), or not writable by this process.
    if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) throw cannotCreate();
    if (st.st_nlink > 1) {
      if (!RewriteInPlace(target, bytes)) throw cannotCreate();
      return;
    }
  }
  std::string dir = ExtractFilePath(target);
  std::string temp = dir + "." + ExtractFileName(target) + ".XXXXXX";
  std::vector<char> tmpl(temp.begin(), temp.end());
  tmpl.push_back('\0');
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0) throw cannotCreate();
  std::string tempPath(tmpl.data());
  bool ok = WriteAll(fd, bytes, 0);
  // Keep the mode and owner of the file being replaced (the usual mode for a new file). Giving a
  // file away needs privileges; without them the new file is this process's own.
  if (ok) ok = ::fchmod(fd, exists ? (st.st_mode & 07777) : 0644) == 0;
  if (ok && exists && ::fchown(fd, st.st_uid, st.st_gid) != 0 && errno != EPERM) ok = false;
  // Ownership changes may clear the set-id bits; put the mode back after them.
  if (ok && exists) ok = ::fchmod(fd, st.st_mode & 07777) == 0;
  // Last, the access control lists and the user's attributes (the lists set the group bits).
  if (ok && exists) ok = CopyKeptAttributes(target, fd);
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok && gBeforeAtomicRename) ok = gBeforeAtomicRename(tempPath);
  if (ok) ok = ::rename(tempPath.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(tempPath.c_str());
    throw cannotCreate();
  }
  SyncFolder(dir);
}

int RemoveLeftoverTemporaryFiles(const std::string& path) {
  std::string target;
  if (!ResolveTarget(NativePath(path), target)) return 0;
  const std::string dir = ExtractFilePath(target), name = ExtractFileName(target);
  int removed = 0;
  // A rewrite in place that was cut short is finished first.
  const std::string journal = RewriteJournalOf(target);
  struct stat js {};
  if (::lstat(journal.c_str(), &js) == 0 && S_ISREG(js.st_mode)) {
    try {
      const std::string bytes = ReadFileBytes(journal);
      bool touched = false;
      if (WriteInPlace(target, bytes, touched) && ::unlink(journal.c_str()) == 0) {
        SyncFolder(dir);
        ++removed;
      }
    } catch (const std::exception&) {
    }
  }
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return removed;
  while (dirent* e = ::readdir(d)) {
    if (!IsTemporaryNameOf(e->d_name, name)) continue;
    struct stat st {};
    const std::string p = dir + e->d_name;
    if (::lstat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(p.c_str()) == 0) ++removed;
  }
  ::closedir(d);
  return removed;
}

TFileStamp FileStampOf(const std::string& path) {
  TFileStamp stamp;
  struct stat st {};
  if (::stat(NativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return stamp;
  std::string bytes;
  try {
    bytes = ReadFileBytes(path);
  } catch (const std::exception&) {
    return stamp;
  }
  stamp.exists = true;
  stamp.size = static_cast<int64_t>(bytes.size());
  stamp.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  stamp.hash = h;
  return stamp;
}

bool FolderSharedWithAnotherProcess(const std::string& folder) {
  static std::map<std::string, int> held;  // folder -> descriptor holding the shared lock
  std::error_code ec;
  const std::string key = std::filesystem::weakly_canonical(NativePath(folder), ec).string();
  int& fd = held[ec ? NativePath(folder) : key];
  if (fd <= 0) {
    fd = ::open(NativePath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    ::flock(fd, LOCK_SH);
  }
  // Alone exactly when the lock can be had alone; then it goes back to shared.
  const bool alone = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::flock(fd, LOCK_SH);
  return !alone;
}

std::string ExtractFilePath(const std::string& path) {
  auto p = path.find_last_of("/\\");
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& path) {
  auto p = path.find_last_of("/\\");
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ParamStr0() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

}  // namespace corvane
