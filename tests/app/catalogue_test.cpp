// The hexagram catalogue: codes, tile order and derived names.
#include <gtest/gtest.h>

#include <set>

#include "app/Catalogue.h"

using namespace corvane;

TEST(Catalogue, SixtyFourDistinctCodesEachWithItsOwnTileAndOperations) {
  std::set<std::string> codes, tiles, clicks, hovers, pictures;
  for (const THexagram& h : Catalogue()) {
    std::string code = h.code;
    ASSERT_EQ(code.size(), 6u);
    EXPECT_EQ(code.find_first_not_of("12"), std::string::npos);
    codes.insert(code);
    tiles.insert(h.tile);
    clicks.insert(h.clickOp);
    hovers.insert(h.hover);
    EXPECT_EQ(FindHexagram(code), &h);
  }
  EXPECT_EQ(codes.size(), 64u);
  EXPECT_EQ(tiles.size(), 64u);
  EXPECT_EQ(clicks.size(), 64u);
  EXPECT_EQ(hovers.size(), 64u);
}

TEST(Catalogue, TilesFollowTheEightPalaceOrder) {
  const char* trigrams[8] = {"111", "112", "121", "122", "211", "212", "221", "222"};
  const char* rows = "qdlzxkgn";
  for (const THexagram& h : Catalogue()) {
    int palace = (h.page - 1) * 4 + (h.row - 1);
    EXPECT_EQ(PalaceCode(trigrams[palace], h.column), h.code) << h.number;
    EXPECT_EQ(std::string(h.hover), std::string(1, rows[palace]) + std::to_string(h.column));
    EXPECT_EQ(h.number, palace * 8 + h.column);
  }
  // Doubled trigrams carry the "为" names.
  EXPECT_STREQ(FindHexagram("111111")->name, "乾为天");
  EXPECT_STREQ(FindHexagram("222222")->name, "坤为地");
  EXPECT_STREQ(FindHexagram("211111")->clickOp, "www2Click");
}

TEST(Catalogue, LookupIsExactAndNamesAreDerivedFromTheCode) {
  for (const char* bad : {"", "11111", "1111111", "111113", " 111111", "111111 ", "１１１１１１"})
    EXPECT_EQ(FindHexagram(bad), nullptr) << bad;
  EXPECT_EQ(DocumentPath("211111"), "dat\\211111.rtf");
  EXPECT_EQ(HexagramPicture("211111"), "q211111");
  EXPECT_EQ(ConfigurationPath().substr(ConfigurationPath().size() - 12), "/corvane.ini");
}
