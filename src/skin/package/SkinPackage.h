// The skin package: a version, three optional pictures, the active pictures and the description
// text, stored as one zlib stream (in a window layout) or behind an 8-byte header (a .skn file).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/graphics/BmpCodec.h"

namespace corvane {

class TskIniText;

// The version packages are written with; readers accept anything up to it.
inline constexpr int32_t kSkinPackageVersion = 3;

struct TskSkinPackage {
  int32_t Version = kSkinPackageVersion;
  std::optional<TBmpImage> Picture;          // main picture
  std::optional<TBmpImage> InactivePicture;
  std::optional<TBmpImage> Mask;
  std::vector<TBmpImage> ActivePictures;
  std::vector<std::string> Description;      // the description's lines
};

// Reads a whole package from the start of the stream. Returns false, reading nothing more, when
// its version is above kSkinPackageVersion. Raises the stream or bitmap errors on a damaged one.
bool ReadSkinPackage(TStream& s, TskSkinPackage& out);

// The pictures of a package, as ReadSkinPackageParts hands them over.
enum class TskPackagePicture { Picture, InactivePicture, Mask, Active };
// Reads a package the same way without keeping its pictures: `readPicture` is called for each
// picture present, in stored order, with the stream on its first byte, and must read exactly
// that one BMP image (DecodeBmp, ReadBmp or ReadBmpDeferred); the text after the pictures goes to `description`.
// Returns false, reading nothing more, for a later version; raises the same errors.
bool ReadSkinPackageParts(TStream& s, int32_t& version,
                          const std::function<void(TskPackagePicture, TStream&)>& readPicture,
                          std::string& description);
// Writes the package: version, records (flag 1 for an absent picture), the active pictures and
// the description lines each followed by CR LF. Version-2 packages get two absent extra records.
void WriteSkinPackage(TStream& s, const TskSkinPackage& package);

// True when the description has [VERSION], [PICTURES], [FORMINFO], [SKINOBJECTS], [SKINCONTROLS].
bool HasRequiredSections(const TskIniText& description);

// Compresses all of source (from its beginning) at the maximum level onto destination.
void CompressStream(TStream& source, TStream& destination);
// Inflates all of source (from its beginning) onto destination at its current position. Raises
// EDecompressionError "compression error" for damaged data and for data that ends before the end
// of its zlib stream, and SSkinDataTooLarge as soon as the data inflates to more than `maxBytes`
// (a few hundred kilobytes of compressed data can stand for gigabytes).
inline constexpr int64_t kMaxSkinPackageBytes = 64 << 20;
inline constexpr const char* SSkinDataTooLarge = "Skin data unpacks to more than %s MB";
void DecompressStream(TStream& destination, TStream& source, int64_t maxBytes = kMaxSkinPackageBytes);

// Builds the package of a skin folder from its description file. Returns false (and builds
// nothing) when the description lacks a required section. Missing or invalid pictures raise the
// file or bitmap error.
bool BuildSkinPackage(const std::string& descriptionPath, TskSkinPackage& out);
// The same with the description's lines already read (pictures are found beside the path).
bool BuildSkinPackage(const std::string& descriptionPath, const std::vector<std::string>& lines, TskSkinPackage& out);

// .skn files: version (4 bytes), length L (4 bytes), L bytes of compressed package.
// ReadSknFile returns false when the version is above 3; raises EFOpenError / EReadError.
bool ReadSknFile(const std::string& path, std::string& compressed);
void WriteSknFile(const std::string& path, const std::string& compressed);

}  // namespace corvane
