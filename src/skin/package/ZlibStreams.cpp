#include "skin/package/ZlibStreams.h"

#include <zlib.h>

#include <algorithm>

namespace corvane {

struct TCustomZlibStream::ZState {
  z_stream z{};
  bool initialised = false;
};

int ZlibLevel(TCompressionLevel level) {
  switch (level) {
    case TCompressionLevel::LevelNone: return 0;
    case TCompressionLevel::LevelFastest: return 1;
    case TCompressionLevel::LevelDefault: return Z_DEFAULT_COMPRESSION;
    case TCompressionLevel::LevelMax: return 9;
  }
  return Z_DEFAULT_COMPRESSION;
}

namespace {
int CCheck(int code) {
  if (code < 0) throw ECompressionError("error");
  return code;
}
int DCheck(int code) {
  if (code < 0) throw EDecompressionError("compression error");
  return code;
}
}  // namespace

TCustomZlibStream::TCustomZlibStream(TStream& strm) : strm_(strm), z_(std::make_unique<ZState>()) {
  strmPos_ = strm_.Position();
}

TCustomZlibStream::~TCustomZlibStream() = default;

// ---------------------------------------------------------------------------------------------
TCompressionStream::TCompressionStream(TCompressionLevel level, TStream& dest) : TCustomZlibStream(dest) {
  z_stream& z = z_->z;
  z.next_out = buffer_;
  z.avail_out = kBufferSize;
  CCheck(deflateInit2(&z, ZlibLevel(level), Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY));
  z_->initialised = true;
}

TCompressionStream::~TCompressionStream() {
  try {
    Finish();
  } catch (...) {
    // The destination could not take the rest; the deflater is ended either way.
  }
}

void TCompressionStream::Finish() {
  if (finished_) return;
  finished_ = true;
  z_stream& z = z_->z;
  try {
    z.next_in = nullptr;
    z.avail_in = 0;
    if (strm_.Position() != strmPos_) strm_.SetPosition(strmPos_);
    while (CCheck(deflate(&z, Z_FINISH)) != Z_STREAM_END && z.avail_out == 0) {
      strm_.WriteBuffer(buffer_, kBufferSize);
      z.next_out = buffer_;
      z.avail_out = kBufferSize;
    }
    if (z.avail_out < static_cast<unsigned>(kBufferSize)) strm_.WriteBuffer(buffer_, kBufferSize - z.avail_out);
    strmPos_ = strm_.Position();
  } catch (...) {
    deflateEnd(&z);
    z_->initialised = false;
    throw;
  }
  deflateEnd(&z);
  z_->initialised = false;
}

int64_t TCompressionStream::Read(void*, int64_t) { throw ECompressionError(SInvalidStreamOp); }

int64_t TCompressionStream::Write(const void* buffer, int64_t count) {
  if (finished_) throw ECompressionError(SInvalidStreamOp);
  if (count <= 0) return 0;
  z_stream& z = z_->z;
  const unsigned char* in = static_cast<const unsigned char*>(buffer);
  int64_t left = count;
  if (strm_.Position() != strmPos_) strm_.SetPosition(strmPos_);
  while (left > 0) {
    // zlib counts input in 32-bit units; very large writes go in pieces.
    const uInt chunk = static_cast<uInt>(std::min<int64_t>(left, 1 << 30));
    z.next_in = const_cast<unsigned char*>(in);
    z.avail_in = chunk;
    while (z.avail_in > 0) {
      CCheck(deflate(&z, Z_NO_FLUSH));
      if (z.avail_out == 0) {
        strm_.WriteBuffer(buffer_, kBufferSize);
        z.next_out = buffer_;
        z.avail_out = kBufferSize;
        strmPos_ = strm_.Position();
        Progress();
      }
    }
    in += chunk;
    left -= chunk;
  }
  return count;
}

int64_t TCompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (offset == 0 && origin == TSeekOrigin::soCurrent) return static_cast<int64_t>(z_->z.total_in);
  throw ECompressionError(SInvalidStreamOp);
}

// ---------------------------------------------------------------------------------------------
TDecompressionStream::TDecompressionStream(TStream& source) : TCustomZlibStream(source) {
  z_stream& z = z_->z;
  z.next_in = buffer_;
  z.avail_in = 0;
  DCheck(inflateInit(&z));
  z_->initialised = true;
}

TDecompressionStream::~TDecompressionStream() {
  if (z_->initialised) inflateEnd(&z_->z);
}

int64_t TDecompressionStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  z_stream& z = z_->z;
  unsigned char* out = static_cast<unsigned char*>(buffer);
  int64_t left = count;
  if (strm_.Position() != strmPos_) strm_.SetPosition(strmPos_);
  while (left > 0) {
    const uInt chunk = static_cast<uInt>(std::min<int64_t>(left, 1 << 30));
    z.next_out = out;
    z.avail_out = chunk;
    while (z.avail_out > 0) {
      if (ended_) {
        // Bytes after the end of the zlib stream are not part of it: the read stops there.
        const int64_t done = count - left + (chunk - z.avail_out);
        return done;
      }
      if (z.avail_in == 0) {
        const int64_t got = strm_.Read(buffer_, kBufferSize);
        if (got <= 0) return count - left + (chunk - z.avail_out);
        z.next_in = buffer_;
        z.avail_in = static_cast<uInt>(got);
        strmPos_ = strm_.Position();
        Progress();
      }
      const int rc = inflate(&z, Z_NO_FLUSH);
      // A stream that needs a preset dictionary is not one we can read.
      if (rc == Z_NEED_DICT) throw EDecompressionError("compression error");
      if (DCheck(rc) == Z_STREAM_END) ended_ = true;
    }
    out += chunk;
    left -= chunk;
  }
  return count;
}

int64_t TDecompressionStream::Write(const void*, int64_t) { throw EDecompressionError(SInvalidStreamOp); }

int64_t TDecompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  z_stream& z = z_->z;
  const int64_t produced = static_cast<int64_t>(z.total_out);
  if (offset == 0 && origin == TSeekOrigin::soBeginning) {
    DCheck(inflateReset(&z));
    z.next_in = buffer_;
    z.avail_in = 0;
    ended_ = false;
    strm_.SetPosition(0);
    strmPos_ = 0;
    return 0;
  }
  int64_t skip;
  if (origin == TSeekOrigin::soCurrent && offset >= 0) skip = offset;
  else if (origin == TSeekOrigin::soBeginning && offset > produced) skip = offset - produced;
  else throw EDecompressionError(SInvalidStreamOp);
  unsigned char scratch[kBufferSize];
  while (skip > 0) {
    const int64_t n = std::min<int64_t>(skip, kBufferSize);
    const int64_t got = Read(scratch, n);
    if (got <= 0) break;
    skip -= got;
  }
  return static_cast<int64_t>(z.total_out);
}

}  // namespace corvane
