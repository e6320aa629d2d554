// The zlib stream wrappers: round trips, buffer boundaries, seeks and their errors.
#include <gtest/gtest.h>

#include <random>

#include "skin/package/SkinPackage.h"
#include "skin/package/ZlibStreams.h"

namespace corvane {
namespace {

std::string Noise(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng() % 7 == 0 ? rng() : 'a' + rng() % 3);
  return s;
}

std::string Compress(const std::string& data, TCompressionLevel level = TCompressionLevel::LevelMax) {
  TMemoryStream out;
  {
    TCompressionStream z(level, out);
    z.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  }
  return out.Bytes();
}

std::string InflateAll(const std::string& packed) {
  TMemoryStream src(packed), dst;
  DecompressStream(dst, src);
  return dst.Bytes();
}

TEST(ZlibStreams, LevelTable) {
  EXPECT_EQ(ZlibLevel(TCompressionLevel::LevelNone), 0);
  EXPECT_EQ(ZlibLevel(TCompressionLevel::LevelFastest), 1);
  EXPECT_EQ(ZlibLevel(TCompressionLevel::LevelDefault), -1);
  EXPECT_EQ(ZlibLevel(TCompressionLevel::LevelMax), 9);
}

TEST(ZlibStreams, RoundTripAcrossBufferBoundaries) {
  for (size_t n : {size_t(0), size_t(1), size_t(4095), size_t(4096), size_t(4097), size_t(100000)}) {
    const std::string data = Noise(n, static_cast<unsigned>(n));
    const std::string packed = Compress(data);
    ASSERT_GE(packed.size(), 2u);
    EXPECT_EQ(uint8_t(packed[0]), 0x78);
    EXPECT_EQ(uint8_t(packed[1]), 0xDA);  // level 9, 15-bit window
    EXPECT_EQ(InflateAll(packed), data) << n;
  }
}

TEST(ZlibStreams, CompressStreamRewindsItsSource) {
  TMemoryStream src(Noise(9000, 1)), dst;
  src.SetPosition(src.Size());  // CompressStream starts from the beginning anyway
  CompressStream(src, dst);
  EXPECT_EQ(InflateAll(dst.Bytes()), src.Bytes());
}

TEST(ZlibStreams, OtherLevelsGiveTheSameBytesBack) {
  const std::string data = Noise(20000, 3);
  for (auto level : {TCompressionLevel::LevelNone, TCompressionLevel::LevelFastest, TCompressionLevel::LevelDefault})
    EXPECT_EQ(InflateAll(Compress(data, level)), data);
}

TEST(ZlibStreams, CompressionStreamIsWriteOnly) {
  TMemoryStream out;
  TCompressionStream z(TCompressionLevel::LevelMax, out);
  char buf[4];
  try {
    z.Read(buf, 4);
    FAIL() << "read accepted";
  } catch (const ECompressionError& e) {
    EXPECT_STREQ(e.what(), "Invalid stream operation");
  }
  z.WriteBuffer("abcdefg", 7);
  EXPECT_EQ(z.Seek(0, TSeekOrigin::soCurrent), 7);
  EXPECT_THROW(z.Seek(1, TSeekOrigin::soCurrent), ECompressionError);
  EXPECT_THROW(z.Seek(0, TSeekOrigin::soBeginning), ECompressionError);
  EXPECT_THROW(z.Seek(0, TSeekOrigin::soEnd), ECompressionError);
}

TEST(ZlibStreams, WritesGoBackToTheRememberedPosition) {
  TMemoryStream out;
  out.WriteString("HEAD");
  const std::string data = Noise(30000, 5);
  {
    TCompressionStream z(TCompressionLevel::LevelMax, out);
    z.WriteBuffer(data.data(), 15000);
    out.SetPosition(0);  // someone else moved the destination meanwhile
    z.WriteBuffer(data.data() + 15000, 15000);
  }
  ASSERT_EQ(out.Bytes().substr(0, 4), "HEAD");
  EXPECT_EQ(InflateAll(out.Bytes().substr(4)), data);
}

TEST(ZlibStreams, ProgressFiresPerBlock) {
  const std::string data = Noise(200000, 7);
  TMemoryStream out;
  int writes = 0;
  {
    TCompressionStream z(TCompressionLevel::LevelNone, out);
    z.OnProgress = [&](TObject*) { ++writes; };
    z.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  }
  // Stored blocks: at least one full 4096-byte output block per 4096 input bytes, less the tail.
  EXPECT_GE(writes, static_cast<int>(data.size() / 4096) - 1);
  TMemoryStream src(out.Bytes());
  int reads = 0;
  TDecompressionStream d(src);
  d.OnProgress = [&](TObject*) { ++reads; };
  std::string back(data.size(), '\0');
  d.ReadBuffer(back.data(), static_cast<int64_t>(back.size()));
  EXPECT_EQ(back, data);
  EXPECT_EQ(reads, static_cast<int>((out.Size() + 4095) / 4096));
}

TEST(ZlibStreams, DecompressionStreamIsReadOnly) {
  TMemoryStream src(Compress("hello"));
  TDecompressionStream d(src);
  try {
    d.Write("x", 1);
    FAIL() << "write accepted";
  } catch (const EDecompressionError& e) {
    EXPECT_STREQ(e.what(), "Invalid stream operation");
  }
}

TEST(ZlibStreams, DecompressionSeeks) {
  const std::string data = Noise(50000, 11);
  TMemoryStream src(Compress(data));
  TDecompressionStream d(src);
  char buf[100];
  d.ReadBuffer(buf, 100);
  EXPECT_EQ(std::string(buf, 100), data.substr(0, 100));
  // Forward from the current position: skips inflated bytes.
  EXPECT_EQ(d.Seek(10000, TSeekOrigin::soCurrent), 10100);
  d.ReadBuffer(buf, 100);
  EXPECT_EQ(std::string(buf, 100), data.substr(10100, 100));
  // From the beginning, beyond what was produced: skips the difference.
  EXPECT_EQ(d.Seek(20000, TSeekOrigin::soBeginning), 20000);
  d.ReadBuffer(buf, 10);
  EXPECT_EQ(std::string(buf, 10), data.substr(20000, 10));
  // Backwards is impossible, except a rewind to 0.
  EXPECT_THROW(d.Seek(5, TSeekOrigin::soBeginning), EDecompressionError);
  EXPECT_THROW(d.Seek(-1, TSeekOrigin::soCurrent), EDecompressionError);
  EXPECT_THROW(d.Seek(0, TSeekOrigin::soEnd), EDecompressionError);
  EXPECT_EQ(d.Seek(0, TSeekOrigin::soBeginning), 0);
  d.ReadBuffer(buf, 100);
  EXPECT_EQ(std::string(buf, 100), data.substr(0, 100));
  EXPECT_EQ(d.Seek(0, TSeekOrigin::soCurrent), 100);
}

TEST(ZlibStreams, RewindGoesToSourcePositionZero) {
  // A rewind resets the inflater and reads the source again from byte 0.
  const std::string packed = Compress("payload");
  TMemoryStream src(packed + "...");
  TDecompressionStream d(src);
  char buf[7];
  d.ReadBuffer(buf, 7);
  EXPECT_EQ(std::string(buf, 7), "payload");
  d.Seek(0, TSeekOrigin::soBeginning);
  EXPECT_EQ(src.Position(), 0);
  d.ReadBuffer(buf, 7);
  EXPECT_EQ(std::string(buf, 7), "payload");
}

TEST(ZlibStreams, ReadStopsAtTheSourceEnd) {
  TMemoryStream src(Compress("short"));
  TDecompressionStream d(src);
  char buf[64];
  EXPECT_EQ(d.Read(buf, 64), 5);
  EXPECT_EQ(d.Read(buf, 64), 0);
}

TEST(ZlibStreams, BytesAfterTheStreamAreIgnored) {
  const std::string data = Noise(10000, 13);
  EXPECT_EQ(InflateAll(Compress(data) + "trailing garbage"), data);
}

TEST(ZlibStreams, CorruptDataRaisesCompressionError) {
  std::string packed = Compress(Noise(10000, 17));
  packed[0] = 0x12;  // not a zlib header
  TMemoryStream src(packed), dst;
  try {
    DecompressStream(dst, src);
    FAIL() << "corrupt header accepted";
  } catch (const EDecompressionError& e) {
    EXPECT_STREQ(e.what(), "compression error");
  }
  std::string flipped = Compress(Noise(10000, 17));
  for (size_t i = 2; i < flipped.size(); i += 3) flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
  TMemoryStream src2(flipped), dst2;
  EXPECT_THROW(DecompressStream(dst2, src2), EDecompressionError);
}

TEST(ZlibStreams, TruncatedDataIsAnErrorNotAShortPackage) {
  const std::string packed = Compress(Noise(10000, 19));
  for (size_t len : {size_t(0), size_t(1), size_t(2), packed.size() / 2, packed.size() - 1}) {
    TMemoryStream src(packed.substr(0, len)), dst;
    EXPECT_THROW(DecompressStream(dst, src), EDecompressionError) << len;
  }
}

TEST(ZlibStreams, FinishTwiceAndWriteAfterFinish) {
  TMemoryStream out;
  TCompressionStream z(TCompressionLevel::LevelMax, out);
  z.WriteBuffer("abc", 3);
  z.Finish();
  const int64_t size = out.Size();
  z.Finish();
  EXPECT_EQ(out.Size(), size);
  EXPECT_THROW(z.Write("d", 1), ECompressionError);
  EXPECT_EQ(InflateAll(out.Bytes()), "abc");
}

}  // namespace
}  // namespace corvane
