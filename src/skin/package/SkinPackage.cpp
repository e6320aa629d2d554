#include "skin/package/SkinPackage.h"

#include "skin/package/SkinIni.h"
#include "skin/package/ZlibStreams.h"

namespace corvane {

namespace {

int32_t ReadInt32(TStream& s) {
  uint8_t b[4];
  s.ReadBuffer(b, 4);
  return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                              (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

void WriteInt32(TStream& s, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                  static_cast<uint8_t>(u >> 24)};
  s.WriteBuffer(b, 4);
}

// A record: a flag byte, 0 when a picture follows.
bool RecordPresent(TStream& s) {
  uint8_t flag;
  s.ReadBuffer(&flag, 1);
  return flag == 0;
}

void WriteRecord(TStream& s, const std::optional<TBmpImage>& image) {
  const bool absent = !image || image->Empty();
  const uint8_t flag = absent ? 1 : 0;
  s.WriteBuffer(&flag, 1);
  if (!absent) EncodeBmp(s, *image);
}

}  // namespace

bool ReadSkinPackageParts(TStream& s, int32_t& version,
                          const std::function<void(TskPackagePicture, TStream&)>& readPicture,
                          std::string& description) {
  description.clear();
  s.SetPosition(0);
  version = ReadInt32(s);
  if (version > kSkinPackageVersion) return false;
  for (TskPackagePicture which : {TskPackagePicture::Picture, TskPackagePicture::InactivePicture, TskPackagePicture::Mask})
    if (RecordPresent(s)) readPicture(which, s);
  if (version == 2) {
    // Two records no reader uses: still read, so a damaged one fails as any other would.
    for (int i = 0; i < 2; ++i)
      if (RecordPresent(s)) DecodeBmp(s);
  }
  const int32_t n = ReadInt32(s);
  // Each image is read (and its size checked against the data left) before the next one, so a
  // damaged count fails on the first missing image instead of reserving room for it.
  for (int32_t i = 0; i < n; ++i) readPicture(TskPackagePicture::Active, s);
  const int64_t pos = s.Position();
  const int64_t size = s.Size();
  if (size > pos) {
    description.resize(static_cast<size_t>(size - pos));
    s.ReadBuffer(description.data(), size - pos);
  }
  return true;
}

bool ReadSkinPackage(TStream& s, TskSkinPackage& out) {
  out = TskSkinPackage{};
  auto readPicture = [&out](TskPackagePicture which, TStream& in) {
    switch (which) {
      case TskPackagePicture::Picture: out.Picture = DecodeBmp(in); break;
      case TskPackagePicture::InactivePicture: out.InactivePicture = DecodeBmp(in); break;
      case TskPackagePicture::Mask: out.Mask = DecodeBmp(in); break;
      case TskPackagePicture::Active: out.ActivePictures.push_back(DecodeBmp(in)); break;
    }
  };
  std::string text;
  if (!ReadSkinPackageParts(s, out.Version, readPicture, text)) return false;
  out.Description = TskIniText::SplitLines(text);
  return true;
}

void WriteSkinPackage(TStream& s, const TskSkinPackage& package) {
  WriteInt32(s, package.Version);
  WriteRecord(s, package.Picture);
  WriteRecord(s, package.InactivePicture);
  WriteRecord(s, package.Mask);
  if (package.Version == 2) {
    WriteRecord(s, std::nullopt);
    WriteRecord(s, std::nullopt);
  }
  WriteInt32(s, static_cast<int32_t>(package.ActivePictures.size()));
  for (const TBmpImage& img : package.ActivePictures) EncodeBmp(s, img);
  std::string text;
  for (const std::string& line : package.Description) {
    text += line;
    text += "\r\n";
  }
  if (!text.empty()) s.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

bool HasRequiredSections(const TskIniText& description) {
  for (const char* name : {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS"})
    if (!description.SectionExists(name)) return false;
  return true;
}

void CompressStream(TStream& source, TStream& destination) {
  source.SetPosition(0);
  TCompressionStream z(TCompressionLevel::LevelMax, destination);
  char buf[TCustomZlibStream::kBufferSize];
  for (;;) {
    const int64_t n = source.Read(buf, sizeof buf);
    if (n <= 0) break;
    z.WriteBuffer(buf, n);
  }
  z.Finish();
}

void DecompressStream(TStream& destination, TStream& source, int64_t maxBytes) {
  source.SetPosition(0);
  TDecompressionStream z(source);
  char buf[TCustomZlibStream::kBufferSize];
  int64_t total = 0;
  for (;;) {
    const int64_t n = z.Read(buf, sizeof buf);
    if (n <= 0) break;
    total += n;
    if (total > maxBytes) throw EDecompressionError(Format(SSkinDataTooLarge, {std::to_string(maxBytes >> 20)}));
    destination.WriteBuffer(buf, n);
  }
  // Data that stops before the end of its zlib stream is damaged, not a shorter package.
  if (!z.AtStreamEnd()) throw EDecompressionError("compression error");
}

bool BuildSkinPackage(const std::string& descriptionPath, TskSkinPackage& out) {
  return BuildSkinPackage(descriptionPath, TskIniText::SplitLines(ReadFileBytes(descriptionPath)), out);
}

bool BuildSkinPackage(const std::string& descriptionPath, const std::vector<std::string>& lines, TskSkinPackage& out) {
  TskIniText ini(lines);
  if (!HasRequiredSections(ini)) return false;
  const std::string dir = ExtractFilePath(descriptionPath);
  auto load = [&](const std::string& name) {
    TMemoryStream m;
    m.LoadFromFile(dir + name);
    m.SetPosition(0);
    return DecodeBmp(m);
  };
  TskSkinPackage p;
  p.Version = kSkinPackageVersion;
  auto optional = [&](const char* key) -> std::optional<TBmpImage> {
    const std::string name = ini.ReadString("PICTURES", key, "");
    if (name.empty()) return std::nullopt;
    return load(name);
  };
  p.Picture = optional("picture");
  p.InactivePicture = optional("inactivepicture");
  p.Mask = optional("mask");
  for (const std::string& name : ini.ReadList("PICTURES", "activepictures")) p.ActivePictures.push_back(load(name));
  p.Description = lines;
  out = std::move(p);
  return true;
}

bool ReadSknFile(const std::string& path, std::string& compressed) {
  compressed.clear();
  TFileStream f(path, TFileMode::fmOpenRead);
  const int32_t version = ReadInt32(f);
  if (version > kSkinPackageVersion) return false;
  const int32_t length = ReadInt32(f);
  if (length < 0) throw EReadError(SReadError);
  const int64_t left = f.Size() - f.Position();
  if (length > left) throw EReadError(SReadError);
  compressed.resize(static_cast<size_t>(length));
  if (length > 0) f.ReadBuffer(compressed.data(), length);
  return true;
}

void WriteSknFile(const std::string& path, const std::string& compressed) {
  TMemoryStream m;
  WriteInt32(m, kSkinPackageVersion);
  WriteInt32(m, static_cast<int32_t>(compressed.size()));
  m.WriteString(compressed);
  WriteFileAtomically(path, m.Bytes());
}

}  // namespace corvane
