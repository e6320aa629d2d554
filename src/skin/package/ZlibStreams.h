// One-directional streams over zlib: TCompressionStream deflates what is written to it onto a
// destination stream, TDecompressionStream inflates a source stream as it is read. Skin packages
// travel in this form.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/core/Classes.h"

namespace corvane {

class EZlibError : public Exception { using Exception::Exception; };
class ECompressionError : public EZlibError { using EZlibError::EZlibError; };
class EDecompressionError : public EZlibError { using EZlibError::EZlibError; };

inline constexpr const char* SInvalidStreamOp = "Invalid stream operation";

enum class TCompressionLevel { LevelNone, LevelFastest, LevelDefault, LevelMax };

// The zlib level each compression level stands for.
int ZlibLevel(TCompressionLevel level);

class TCustomZlibStream : public TStream {
 public:
  static constexpr int kBufferSize = 4096;
  ~TCustomZlibStream() override;
  std::string ClassName() const override { return "TCustomZlibStream"; }

  // Fired after each 4096-byte block moved to or from the underlying stream.
  TNotifyEvent OnProgress;

 protected:
  explicit TCustomZlibStream(TStream& strm);
  void Progress() { if (OnProgress) OnProgress(this); }

  TStream& strm_;                 // not owned
  int64_t strmPos_;               // where this wrapper left the underlying stream
  unsigned char buffer_[kBufferSize];
  struct ZState;
  std::unique_ptr<ZState> z_;
};

class TCompressionStream : public TCustomZlibStream {
 public:
  TCompressionStream(TCompressionLevel level, TStream& dest);
  // Finishes the zlib stream and flushes it to the destination. Errors at this point cannot be
  // raised from a destructor; call Finish() first to see them.
  ~TCompressionStream() override;
  std::string ClassName() const override { return "TCompressionStream"; }

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { throw ECompressionError(SInvalidStreamOp); }
  // Ends the zlib stream: everything is on the destination afterwards. Further writes fail.
  void Finish();
  // Compressed size relative to the uncompressed bytes written (0 when nothing was written).

 private:
  bool finished_ = false;
};

class TDecompressionStream : public TCustomZlibStream {
 public:
  explicit TDecompressionStream(TStream& source);
  ~TDecompressionStream() override;
  std::string ClassName() const override { return "TDecompressionStream"; }

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { throw EDecompressionError(SInvalidStreamOp); }
  // True once the inflater has seen the end of the zlib stream.
  bool AtStreamEnd() const { return ended_; }

 private:
  bool ended_ = false;
};

}  // namespace corvane
