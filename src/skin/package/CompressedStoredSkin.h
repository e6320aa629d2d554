// TskCompressedStoredSkin: a window-layout component that holds one skin package in its
// compressed form. While a layout is edited it can take the package from a skin folder or a .skn
// file; at run time it only hands the package out.
#pragma once

#include <string>

#include "platform/core/Classes.h"

namespace corvane {

class TskCompressedStoredSkin : public TComponent {
 public:
  explicit TskCompressedStoredSkin(TComponent* owner);
  std::string ClassName() const override { return "TskCompressedStoredSkin"; }

  const std::string& Description() const { return description_; }
  void SetDescription(const std::string& v) { description_ = v; }

  const std::string& FileName() const { return fileName_; }
  // While the layout is edited (and not being read) keeps the base name and packs the folder;
  // otherwise only stores the text.
  void SetFileName(const std::string& path);

  const std::string& CompressedFileName() const { return compressedFileName_; }
  // Same rule, importing the .skn file while the layout is edited.
  void SetCompressedFileName(const std::string& path);

  // The held data: the compressed package (a zlib stream), empty when none is held.
  TMemoryStream& CompressedData() { return data_; }
  const TMemoryStream& CompressedData() const { return data_; }
  bool IsDataEmpty() const { return data_.Bytes().empty(); }

  // Inflates the held data onto `out` at its current position.
  void UnpackTo(TMemoryStream& out);

  // Layout persistence of CompressedData: the property's bytes are the held bytes exactly.
  void ReadCompressedData(std::string_view bytes);
  void WriteCompressedData(TStream& out) const;

  // The design-time imports. PackSkinFolder does nothing when the description lacks a required
  // section; both empty the held data before reading their source.
  void PackSkinFolder(const std::string& descriptionPath);
  void ImportSknFile(const std::string& path);

 private:
  bool Editing() const { return IsDesigning() && !IsLoading(); }

  std::string description_;
  std::string fileName_;
  std::string compressedFileName_;
  TMemoryStream data_;
};

}  // namespace corvane
