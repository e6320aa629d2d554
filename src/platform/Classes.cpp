#include "Classes.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
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

TFileStream::TFileStream(const std::string& path, TFileMode mode) : path_(path) {
  std::string native = NativePath(path);
  if (mode == TFileMode::fmCreate) {
    fd_ = ::open(native.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) throw EFCreateError(Format(SFCreateError, {path}));
  } else {
    fd_ = ::open(native.c_str(), (mode == TFileMode::fmOpenRead ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    struct stat st {};
    if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode))) {
      ::close(fd_);
      fd_ = -1;
    }
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

std::string ReadFileBytes(const std::string& path) {
  TFileStream f(path, TFileMode::fmOpenRead);
  try {
    return f.ReadAll();
  } catch (const EReadError&) {
    // Opened but not readable to the end (an I/O error): for the user the file cannot be opened.
    throw EFOpenError(Format(SFOpenError, {path}));
  }
}

std::function<bool(const std::string& tempPath)> gBeforeAtomicRename;

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::string native = NativePath(path);
  std::string dir = ExtractFilePath(native);
  std::string temp = dir + "." + ExtractFileName(native) + ".XXXXXX";
  std::vector<char> tmpl(temp.begin(), temp.end());
  tmpl.push_back('\0');
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0) throw EFCreateError(Format(SFCreateError, {path}));
  std::string tempPath(tmpl.data());
  bool ok = true;
  size_t done = 0;
  while (ok && done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false; else done += static_cast<size_t>(n);
  }
  // Keep the permissions of the file being replaced, or the usual ones for a new file.
  struct stat st {};
  mode_t m = ::stat(native.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  if (ok) ok = ::fchmod(fd, m) == 0;
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok && gBeforeAtomicRename) ok = gBeforeAtomicRename(tempPath);
  if (ok) ok = ::rename(tempPath.c_str(), native.c_str()) == 0;
  if (!ok) {
    ::unlink(tempPath.c_str());
    throw EFCreateError(Format(SFCreateError, {path}));
  }
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
