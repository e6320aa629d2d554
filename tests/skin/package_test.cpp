// The skin package byte by byte, the .skn file and the stored-skin component's imports.
#include <gtest/gtest.h>

#include <fstream>

#include "SkinTestUtil.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinIni.h"
#include "skin/package/SkinPackage.h"
#include "skin/package/ZlibStreams.h"

namespace corvane {
namespace {

using test::EncodeToBytes;
using test::IndexedImage;
using test::PatternImage;
using test::TempDir;
using test::U32At;

std::string PackageBytes(const TskSkinPackage& p) {
  TMemoryStream m;
  WriteSkinPackage(m, p);
  return m.Bytes();
}

TskSkinPackage SamplePackage() {
  TskSkinPackage p;
  p.Picture = PatternImage(10, 6);
  p.Mask = IndexedImage(10, 6, 1);
  p.ActivePictures = {PatternImage(3, 2), IndexedImage(5, 4, 8)};
  p.Description = {"[VERSION]", "skinname=x", "[PICTURES]", "picture=main.bmp"};
  return p;
}

TEST(SkinPackage, AbsentPicturesTakeOneByteEach) {
  TskSkinPackage p;
  p.Picture = PatternImage(10, 6);
  p.ActivePictures = {IndexedImage(5, 4, 8)};
  p.Description = {"[VERSION]"};
  const std::string b = PackageBytes(p);
  const size_t mainSize = EncodeToBytes(*p.Picture).size();
  const size_t activeSize = EncodeToBytes(p.ActivePictures[0]).size();
  EXPECT_EQ(b.size(), 4 + 1 + mainSize + 1 + 1 + 4 + activeSize + std::string("[VERSION]\r\n").size());
  EXPECT_EQ(U32At(b, 0), 3u);
  EXPECT_EQ(b[4], 0);                // main picture present
  EXPECT_EQ(b[5 + mainSize], 1);     // inactive picture absent
  EXPECT_EQ(b[6 + mainSize], 1);     // mask absent
  EXPECT_EQ(U32At(b, 7 + mainSize), 1u);
}

TEST(SkinPackage, NoActivePicturesMeansCountZeroThenText) {
  TskSkinPackage p;
  p.Description = {"[VERSION]", "a=b"};
  const std::string b = PackageBytes(p);
  ASSERT_EQ(b.size(), 4u + 3u + 4u + 16u);
  EXPECT_EQ(U32At(b, 7), 0u);
  EXPECT_EQ(b.substr(11), "[VERSION]\r\na=b\r\n");
}

TEST(SkinPackage, EmptyDescriptionEndsAfterTheActivePictures) {
  TskSkinPackage p;
  p.ActivePictures = {PatternImage(2, 2)};
  const std::string b = PackageBytes(p);
  EXPECT_EQ(b.size(), 4u + 3u + 4u + EncodeToBytes(p.ActivePictures[0]).size());
  TMemoryStream m(b);
  TskSkinPackage back;
  ASSERT_TRUE(ReadSkinPackage(m, back));
  EXPECT_TRUE(back.Description.empty());
}

TEST(SkinPackage, RoundTrip) {
  const TskSkinPackage p = SamplePackage();
  TMemoryStream m(PackageBytes(p));
  TskSkinPackage back;
  ASSERT_TRUE(ReadSkinPackage(m, back));
  EXPECT_EQ(back.Version, 3);
  ASSERT_TRUE(back.Picture);
  EXPECT_EQ(back.Picture->Pixels, p.Picture->Pixels);
  EXPECT_FALSE(back.InactivePicture);
  ASSERT_TRUE(back.Mask);
  EXPECT_EQ(back.Mask->BitCount, 1);
  ASSERT_EQ(back.ActivePictures.size(), 2u);
  EXPECT_EQ(back.ActivePictures[1].Indices, p.ActivePictures[1].Indices);
  EXPECT_EQ(back.Description, p.Description);
}

TEST(SkinPackage, LineBreaksBecomeCrLf) {
  // Whatever breaks the description had, the package has CR LF after every line, the last too.
  const std::vector<std::string> lines = TskIniText::SplitLines("[VERSION]\nskinname=a\r\nx=1\ry=2");
  ASSERT_EQ(lines.size(), 4u);
  TskSkinPackage p;
  p.Description = lines;
  const std::string b = PackageBytes(p);
  EXPECT_EQ(b.substr(11), "[VERSION]\r\nskinname=a\r\nx=1\r\ny=2\r\n");
}

TEST(SkinPackage, VersionTwoExtraRecordsAreDropped) {
  TskSkinPackage v3 = SamplePackage();
  TskSkinPackage v2 = v3;
  v2.Version = 2;
  const std::string b2 = PackageBytes(v2), b3 = PackageBytes(v3);
  EXPECT_EQ(b2.size(), b3.size() + 2);  // two absent extra records
  TMemoryStream m2(b2), m3(b3);
  TskSkinPackage r2, r3;
  ASSERT_TRUE(ReadSkinPackage(m2, r2));
  ASSERT_TRUE(ReadSkinPackage(m3, r3));
  EXPECT_EQ(r2.Picture->Pixels, r3.Picture->Pixels);
  EXPECT_EQ(r2.Mask->Pixels, r3.Mask->Pixels);
  ASSERT_EQ(r2.ActivePictures.size(), r3.ActivePictures.size());
  EXPECT_EQ(r2.ActivePictures[0].Pixels, r3.ActivePictures[0].Pixels);
  EXPECT_EQ(r2.Description, r3.Description);
}

TEST(SkinPackage, VersionsBeforeTwoHaveNoExtraRecords) {
  // Versions 0 and 1 go straight from the mask to the active pictures; read like version 2, the
  // active count would come out of the pictures' bytes.
  for (int32_t version : {0, 1}) {
    TskSkinPackage p = SamplePackage();
    p.Version = version;
    TMemoryStream m(PackageBytes(p));
    TskSkinPackage r;
    ASSERT_TRUE(ReadSkinPackage(m, r)) << version;
    EXPECT_EQ(r.Version, version);
    ASSERT_EQ(r.ActivePictures.size(), 2u) << version;
    EXPECT_EQ(r.ActivePictures[1].Pixels, p.ActivePictures[1].Pixels) << version;
    EXPECT_EQ(r.Description, p.Description) << version;
  }
}

TEST(SkinPackage, EveryPictureFlagButZeroMeansAbsent) {
  // A picture record is present only with the flag 0; 1 and every other value are "absent" and
  // take their one byte.
  for (int flag : {1, 2, 7, 128, 255}) {
    TMemoryStream m;
    const int32_t v = 3;
    m.WriteBuffer(&v, 4);
    const auto f = static_cast<char>(flag);
    const char present = 0;
    m.WriteBuffer(&f, 1);  // the picture
    m.WriteBuffer(&present, 1);  // the inactive picture
    EncodeBmp(m, PatternImage(4, 3));
    m.WriteBuffer(&f, 1);  // the mask
    const int32_t n = 0;
    m.WriteBuffer(&n, 4);
    m.WriteString("[VERSION]\r\n");
    TskSkinPackage r;
    ASSERT_TRUE(ReadSkinPackage(m, r)) << flag;
    EXPECT_FALSE(r.Picture.has_value()) << flag;
    ASSERT_TRUE(r.InactivePicture.has_value()) << flag;
    EXPECT_EQ(r.InactivePicture->Width, 4) << flag;
    EXPECT_FALSE(r.Mask.has_value()) << flag;
    EXPECT_EQ(r.Description, std::vector<std::string>{"[VERSION]"}) << flag;
  }
}

TEST(SkinPackage, VersionTwoWithPresentExtraRecords) {
  // Build a version-2 package by hand whose extra records hold real images.
  TMemoryStream m;
  const int32_t v = 2;
  m.WriteBuffer(&v, 4);
  const char flag0 = 0, flag1 = 1;
  m.WriteBuffer(&flag0, 1);
  EncodeBmp(m, PatternImage(4, 4));
  m.WriteBuffer(&flag1, 1);
  m.WriteBuffer(&flag1, 1);
  for (int i = 0; i < 2; ++i) {
    m.WriteBuffer(&flag0, 1);
    EncodeBmp(m, PatternImage(7, 7));
  }
  const int32_t n = 1;
  m.WriteBuffer(&n, 4);
  EncodeBmp(m, PatternImage(2, 3));
  m.WriteString("[VERSION]\r\n");
  TskSkinPackage r;
  ASSERT_TRUE(ReadSkinPackage(m, r));
  ASSERT_EQ(r.ActivePictures.size(), 1u);
  EXPECT_EQ(r.ActivePictures[0].Height, 3);
  EXPECT_EQ(r.Description, std::vector<std::string>{"[VERSION]"});
}

TEST(SkinPackage, LaterVersionsAreIgnored) {
  TskSkinPackage p = SamplePackage();
  p.Version = 4;
  TMemoryStream m(PackageBytes(p));
  TskSkinPackage r;
  EXPECT_FALSE(ReadSkinPackage(m, r));
  EXPECT_FALSE(r.Picture);
  EXPECT_TRUE(r.ActivePictures.empty());
  EXPECT_EQ(m.Position(), 4);  // nothing after the version was read
}

TEST(SkinPackage, NegativeActiveCountMeansNone) {
  TMemoryStream m;
  const int32_t v = 3, n = -5;
  m.WriteBuffer(&v, 4);
  m.WriteString("\x01\x01\x01");
  m.WriteBuffer(&n, 4);
  m.WriteString("[X]");
  TskSkinPackage r;
  ASSERT_TRUE(ReadSkinPackage(m, r));
  EXPECT_TRUE(r.ActivePictures.empty());
  EXPECT_EQ(r.Description, std::vector<std::string>{"[X]"});
}

TEST(SkinPackage, HugeActiveCountFailsOnTheFirstMissingImage) {
  TMemoryStream m;
  const int32_t v = 3, n = 0x7FFFFFFF;
  m.WriteBuffer(&v, 4);
  m.WriteString("\x01\x01\x01");
  m.WriteBuffer(&n, 4);
  EncodeBmp(m, PatternImage(2, 2));
  TskSkinPackage r;
  EXPECT_THROW(ReadSkinPackage(m, r), Exception);
}

TEST(SkinPackage, EveryTruncationOfThePictureRecordsFails) {
  const std::string b = PackageBytes(SamplePackage());
  const size_t textStart = b.size() - std::string("[VERSION]\r\nskinname=x\r\n[PICTURES]\r\npicture=main.bmp\r\n").size();
  for (size_t len = 0; len < textStart; len += 7) {
    TMemoryStream m(b.substr(0, len));
    TskSkinPackage r;
    EXPECT_THROW(ReadSkinPackage(m, r), Exception) << len;
  }
}

TEST(SkinPackage, RequiredSectionsWithoutRegardToCase) {
  TskIniText ini;
  ini.SetText("[version]\n[Pictures]\n[FORMINFO]\n[skinobjects]\n");
  EXPECT_FALSE(HasRequiredSections(ini));
  ini.SetText("[version]\n[Pictures]\n[FORMINFO]\n[skinobjects]\n[SkinControls]\n");
  EXPECT_TRUE(HasRequiredSections(ini));
}

// ---------------------------------------------------------------------------------------------
// A small skin folder on disk.
struct Folder {
  TempDir dir;
  explicit Folder(const std::string& ini, bool withPictures = true) {
    std::ofstream(dir.File("skin.ini"), std::ios::binary) << ini;
    if (!withPictures) return;
    std::ofstream(dir.File("main.bmp"), std::ios::binary) << EncodeToBytes(PatternImage(8, 8));
    std::ofstream(dir.File("mask.bmp"), std::ios::binary) << EncodeToBytes(IndexedImage(8, 8, 1));
    std::ofstream(dir.File("a0.bmp"), std::ios::binary) << EncodeToBytes(IndexedImage(6, 3, 8));
  }
  std::string Ini() const { return dir.File("skin.ini"); }
};

const char* kFolderIni =
    "[VERSION]\nskinname=t\n[PICTURES]\npicture=main.bmp\ninactivepicture=\nmask=mask.bmp\n"
    "activepicturescount=1\n0=a0.bmp\n[FORMINFO]\n[SKINOBJECTS]\n[SKINCONTROLS]";

std::string Inflate(const std::string& packed) {
  TMemoryStream src(packed), dst;
  DecompressStream(dst, src);
  return dst.Bytes();
}

TEST(StoredSkin, PackingAFolderInDesignMode) {
  Folder f(kFolderIni);
  TskCompressedStoredSkin s(nullptr);
  s.SetDesigning(true);
  s.SetFileName(f.Ini());
  EXPECT_EQ(s.FileName(), "skin.ini");
  ASSERT_FALSE(s.IsDataEmpty());
  EXPECT_EQ(uint8_t(s.CompressedData().Bytes()[0]), 0x78);
  EXPECT_EQ(uint8_t(s.CompressedData().Bytes()[1]), 0xDA);
  TMemoryStream pkg;
  s.UnpackTo(pkg);
  TskSkinPackage r;
  ASSERT_TRUE(ReadSkinPackage(pkg, r));
  EXPECT_EQ(r.Picture->Width, 8);
  EXPECT_FALSE(r.InactivePicture);  // empty name: absent
  EXPECT_EQ(r.Mask->BitCount, 1);
  ASSERT_EQ(r.ActivePictures.size(), 1u);
  EXPECT_EQ(r.ActivePictures[0].BitCount, 8);
  EXPECT_EQ(r.Description.front(), "[VERSION]");
  EXPECT_EQ(r.Description.back(), "[SKINCONTROLS]");
}

TEST(StoredSkin, SettingNamesAtRunTimeOrWhileReadingOnlyStoresText) {
  Folder f(kFolderIni);
  TskCompressedStoredSkin s(nullptr);
  s.ReadCompressedData("abc");
  s.SetFileName(f.Ini());
  EXPECT_EQ(s.FileName(), f.Ini());
  EXPECT_EQ(s.CompressedData().Bytes(), "abc");
  s.SetDesigning(true);
  s.BeginLoading();
  s.SetFileName(f.Ini());
  s.SetCompressedFileName("/nowhere/x.skn");
  EXPECT_EQ(s.CompressedFileName(), "/nowhere/x.skn");
  s.Loaded();
  EXPECT_EQ(s.CompressedData().Bytes(), "abc");
}

TEST(StoredSkin, MissingSectionLeavesTheDataAlone) {
  Folder f("[VERSION]\n[PICTURES]\n[FORMINFO]\n[SKINOBJECTS]\n");
  TskCompressedStoredSkin s(nullptr);
  s.ReadCompressedData("held");
  s.SetDesigning(true);
  s.SetFileName(f.Ini());
  EXPECT_EQ(s.CompressedData().Bytes(), "held");
}

TEST(StoredSkin, MissingPictureRaisesAndEmptiesTheData) {
  Folder f(kFolderIni, false);
  TskCompressedStoredSkin s(nullptr);
  s.ReadCompressedData("held");
  s.SetDesigning(true);
  try {
    s.SetFileName(f.Ini());
    FAIL() << "no error for a missing picture";
  } catch (const EFOpenError& e) {
    EXPECT_NE(std::string(e.what()).find("Cannot open file"), std::string::npos);
  }
  EXPECT_TRUE(s.IsDataEmpty());
}

TEST(StoredSkin, InvalidPictureRaisesTheBitmapError) {
  Folder f(kFolderIni);
  std::ofstream(f.dir.File("a0.bmp"), std::ios::binary) << "not a bitmap at all, just text";
  TskCompressedStoredSkin s(nullptr);
  s.SetDesigning(true);
  EXPECT_THROW(s.SetFileName(f.Ini()), EInvalidGraphic);
  EXPECT_TRUE(s.IsDataEmpty());
}

TEST(StoredSkin, SknFiles) {
  TempDir d;
  const std::string packed = "\x78\xDA-not-checked-here";
  WriteSknFile(d.File("a.skn"), packed);
  const std::string file = ReadFileBytes(d.File("a.skn"));
  EXPECT_EQ(U32At(file, 0), 3u);
  EXPECT_EQ(U32At(file, 4), packed.size());
  TskCompressedStoredSkin s(nullptr);
  s.SetDesigning(true);
  s.SetCompressedFileName(d.File("a.skn"));
  EXPECT_EQ(s.CompressedFileName(), "a.skn");
  EXPECT_EQ(s.CompressedData().Bytes(), packed);

  // Bytes after the data are ignored.
  std::ofstream(d.File("a.skn"), std::ios::binary | std::ios::app) << "tail";
  s.SetCompressedFileName(d.File("a.skn"));
  EXPECT_EQ(s.CompressedData().Bytes(), packed);

  // A later version leaves the data empty, silently.
  std::string v4 = file;
  v4[0] = 4;
  std::ofstream(d.File("b.skn"), std::ios::binary) << v4;
  s.SetCompressedFileName(d.File("b.skn"));
  EXPECT_TRUE(s.IsDataEmpty());

  // A length beyond the file is a read error, not a huge allocation.
  std::string lying = file;
  lying[7] = 0x7F;
  std::ofstream(d.File("c.skn"), std::ios::binary) << lying;
  EXPECT_THROW(s.SetCompressedFileName(d.File("c.skn")), EReadError);
  EXPECT_TRUE(s.IsDataEmpty());

  EXPECT_THROW(s.SetCompressedFileName(d.File("missing.skn")), EFOpenError);
  EXPECT_TRUE(s.IsDataEmpty());
}

TEST(StoredSkin, LayoutPersistenceIsTheHeldBytes) {
  TskCompressedStoredSkin s(nullptr);
  EXPECT_TRUE(s.IsDataEmpty());
  TMemoryStream out;
  s.WriteCompressedData(out);
  EXPECT_EQ(out.Size(), 0);
  s.ReadCompressedData(std::string("\0\1\2", 3));
  s.WriteCompressedData(out);
  EXPECT_EQ(out.Bytes(), std::string("\0\1\2", 3));
}

TEST(StoredSkin, UnpackAppendsAtTheStreamPosition) {
  TskCompressedStoredSkin s(nullptr);
  TMemoryStream raw(std::string("package bytes")), packed;
  CompressStream(raw, packed);
  s.ReadCompressedData(packed.Bytes());
  TMemoryStream out;
  out.WriteString("pre:");
  s.UnpackTo(out);
  EXPECT_EQ(out.Bytes(), "pre:package bytes");
  EXPECT_EQ(Inflate(packed.Bytes()), "package bytes");
}

}  // namespace
}  // namespace corvane
