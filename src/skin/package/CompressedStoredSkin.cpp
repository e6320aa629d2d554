#include "skin/package/CompressedStoredSkin.h"

#include "skin/package/SkinIni.h"
#include "skin/package/SkinPackage.h"

namespace corvane {

TskCompressedStoredSkin::TskCompressedStoredSkin(TComponent* owner) : TComponent(owner) {}

void TskCompressedStoredSkin::SetFileName(const std::string& path) {
  if (!Editing()) {
    fileName_ = path;
    return;
  }
  fileName_ = ExtractFileName(path);
  PackSkinFolder(path);
}

void TskCompressedStoredSkin::SetCompressedFileName(const std::string& path) {
  if (!Editing()) {
    compressedFileName_ = path;
    return;
  }
  compressedFileName_ = ExtractFileName(path);
  ImportSknFile(path);
}

void TskCompressedStoredSkin::UnpackTo(TMemoryStream& out) { DecompressStream(out, data_); }

void TskCompressedStoredSkin::ReadCompressedData(std::string_view bytes) {
  data_.Clear();
  data_.Bytes().assign(bytes.data(), bytes.size());
}

void TskCompressedStoredSkin::WriteCompressedData(TStream& out) const {
  const std::string& b = data_.Bytes();
  if (!b.empty()) out.WriteBuffer(b.data(), static_cast<int64_t>(b.size()));
}

void TskCompressedStoredSkin::PackSkinFolder(const std::string& descriptionPath) {
  // The description is read once: it is checked, and then packed with its pictures.
  const std::vector<std::string> lines = TskIniText::SplitLines(ReadFileBytes(descriptionPath));
  if (!HasRequiredSections(TskIniText(lines))) return;
  data_.Clear();
  TskSkinPackage package;
  BuildSkinPackage(descriptionPath, lines, package);
  TMemoryStream raw;
  WriteSkinPackage(raw, package);
  TMemoryStream packed;
  CompressStream(raw, packed);
  data_.Bytes() = std::move(packed.Bytes());
}

void TskCompressedStoredSkin::ImportSknFile(const std::string& path) {
  data_.Clear();
  std::string compressed;
  if (!ReadSknFile(path, compressed)) return;
  data_.Bytes() = std::move(compressed);
}

}  // namespace corvane
