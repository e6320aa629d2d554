#include "app/Catalogue.h"

#include <filesystem>
#include <system_error>

#include "app/Places.h"
#include "platform/core/Classes.h"

namespace corvane {

const std::array<THexagram, 64>& Catalogue() {
  static const std::array<THexagram, 64> kTable = {{
      {1, 1, 1, 1, "ii1", "111111", "乾为天", "q1", "ii1Click", "ii1MouseMove"},
      {2, 1, 1, 2, "Image4", "211111", "天风姤", "q2", "www2Click", "Image3MouseMove"},
      {3, 1, 1, 3, "Image5", "221111", "天山遁", "q3", "Image4Click", "Image4MouseMove"},
      {4, 1, 1, 4, "Image6", "222111", "天地否", "q4", "Image5Click", "Image5MouseMove"},
      {5, 1, 1, 5, "Image7", "222211", "风地观", "q5", "Image6Click", "Image6MouseMove"},
      {6, 1, 1, 6, "Image8", "222221", "山地剥", "q6", "Image7Click", "Image7MouseMove"},
      {7, 1, 1, 7, "Image9", "222121", "火地晋", "q7", "Image8Click", "Image8MouseMove"},
      {8, 1, 1, 8, "Image10", "111121", "火天大有", "q8", "Image9Click", "Image9MouseMove"},
      {9, 1, 2, 1, "Image11", "112112", "兑为泽", "d1", "Image10Click", "Image10MouseMove"},
      {10, 1, 2, 2, "Image12", "212112", "泽水困", "d2", "Image11Click", "Image11MouseMove"},
      {11, 1, 2, 3, "Image18", "222112", "泽地萃", "d3", "Image17Click", "Image17MouseMove"},
      {12, 1, 2, 4, "Image17", "221112", "泽山咸", "d4", "Image16Click", "Image16MouseMove"},
      {13, 1, 2, 5, "Image13", "221212", "水山蹇", "d5", "Image12Click", "Image12MouseMove"},
      {14, 1, 2, 6, "Image14", "221222", "地山谦", "d6", "Image13Click", "Image13MouseMove"},
      {15, 1, 2, 7, "Image15", "221122", "雷山小过", "d7", "Image14Click", "Image14MouseMove"},
      {16, 1, 2, 8, "Image16", "112122", "雷泽归妹", "d8", "Image15Click", "Image15MouseMove"},
      {17, 1, 3, 1, "Image19", "121121", "离为火", "l1", "Image18Click", "Image18MouseMove"},
      {18, 1, 3, 2, "Image20", "221121", "火山旅", "l2", "Image19Click", "Image19MouseMove"},
      {19, 1, 3, 3, "Image21", "211121", "火风鼎", "l3", "Image20Click", "Image20MouseMove"},
      {20, 1, 3, 4, "Image22", "212121", "火水未济", "l4", "Image21Click", "Image21MouseMove"},
      {21, 1, 3, 5, "Image23", "212221", "山水蒙", "l5", "Image22Click", "Image22MouseMove"},
      {22, 1, 3, 6, "Image24", "212211", "风水涣", "l6", "Image23Click", "Image23MouseMove"},
      {23, 1, 3, 7, "Image25", "212111", "天水讼", "l7", "Image24Click", "Image24MouseMove"},
      {24, 1, 3, 8, "Image26", "121111", "天火同人", "l8", "Image25Click", "Image25MouseMove"},
      {25, 1, 4, 1, "Image27", "122122", "震为雷", "z1", "Image26Click", "Image26MouseMove"},
      {26, 1, 4, 2, "Image28", "222122", "雷地豫", "z2", "Image27Click", "Image27MouseMove"},
      {27, 1, 4, 3, "Image29", "212122", "雷水解", "z3", "Image28Click", "Image28MouseMove"},
      {28, 1, 4, 4, "Image30", "211122", "雷风恒", "z4", "Image29Click", "Image29MouseMove"},
      {29, 1, 4, 5, "Image31", "211222", "地风升", "z5", "Image30Click", "Image30MouseMove"},
      {30, 1, 4, 6, "Image32", "211212", "水风井", "z6", "Image31Click", "Image31MouseMove"},
      {31, 1, 4, 7, "Image33", "211112", "泽风大过", "z7", "Image32Click", "Image32MouseMove"},
      {32, 1, 4, 8, "Image66", "122112", "泽雷随", "z8", "Image33Click", "Image33MouseMove"},
      {33, 2, 1, 1, "Image34", "211211", "巽为风", "x1", "Image34Click", "Image34MouseMove"},
      {34, 2, 1, 2, "Image35", "111211", "风天小畜", "x2", "Image35Click", "Image35MouseMove"},
      {35, 2, 1, 3, "Image36", "121211", "风火家人", "x3", "Image36Click", "Image36MouseMove"},
      {36, 2, 1, 4, "Image37", "122211", "风雷益", "x4", "Image37Click", "Image37MouseMove"},
      {37, 2, 1, 5, "Image38", "122111", "天雷无妄", "x5", "Image38Click", "Image38MouseMove"},
      {38, 2, 1, 6, "Image39", "122121", "火雷噬嗑", "x6", "Image39Click", "Image39MouseMove"},
      {39, 2, 1, 7, "Image40", "122221", "山雷颐", "x7", "Image40Click", "Image40MouseMove"},
      {40, 2, 1, 8, "Image41", "211221", "山风蛊", "x8", "Image41Click", "Image41MouseMove"},
      {41, 2, 2, 1, "Image42", "212212", "坎为水", "k1", "Image42Click", "Image42MouseMove"},
      {42, 2, 2, 2, "Image43", "112212", "水泽节", "k2", "Image43Click", "Image43MouseMove"},
      {43, 2, 2, 3, "Image44", "122212", "水雷屯", "k3", "Image44Click", "Image44MouseMove"},
      {44, 2, 2, 4, "Image45", "121212", "水火既济", "k4", "Image45Click", "Image45MouseMove"},
      {45, 2, 2, 5, "Image46", "121112", "泽火革", "k5", "Image46Click", "Image46MouseMove"},
      {46, 2, 2, 6, "Image47", "121122", "雷火丰", "k6", "Image47Click", "Image47MouseMove"},
      {47, 2, 2, 7, "Image48", "121222", "地火明夷", "k7", "Image48Click", "Image48MouseMove"},
      {48, 2, 2, 8, "Image49", "212222", "地水师", "k8", "Image49Click", "Image49MouseMove"},
      {49, 2, 3, 1, "Image50", "221221", "艮为山", "g1", "Image50Click", "Image50MouseMove"},
      {50, 2, 3, 2, "Image51", "121221", "山火贲", "g2", "Image51Click", "Image51MouseMove"},
      {51, 2, 3, 3, "Image52", "111221", "山天大畜", "g3", "Image52Click", "Image52MouseMove"},
      {52, 2, 3, 4, "Image53", "112221", "山泽损", "g4", "Image53Click", "Image53MouseMove"},
      {53, 2, 3, 5, "Image54", "112121", "火泽睽", "g5", "Image54Click", "Image54MouseMove"},
      {54, 2, 3, 6, "Image55", "112111", "天泽履", "g6", "Image55Click", "Image55MouseMove"},
      {55, 2, 3, 7, "Image56", "112211", "风泽中孚", "g7", "Image56Click", "Image56MouseMove"},
      {56, 2, 3, 8, "Image57", "221211", "风山渐", "g8", "Image57Click", "Image57MouseMove"},
      {57, 2, 4, 1, "Image58", "222222", "坤为地", "n1", "Image58Click", "Image58MouseMove"},
      {58, 2, 4, 2, "Image59", "122222", "地雷复", "n2", "Image59Click", "Image59MouseMove"},
      {59, 2, 4, 3, "Image60", "112222", "地泽临", "n3", "Image60Click", "Image60MouseMove"},
      {60, 2, 4, 4, "Image61", "111222", "地天泰", "n4", "Image61Click", "Image61MouseMove"},
      {61, 2, 4, 5, "Image62", "111122", "雷天大壮", "n5", "Image62Click", "Image62MouseMove"},
      {62, 2, 4, 6, "Image63", "111112", "泽天夬", "n6", "Image63Click", "Image63MouseMove"},
      {63, 2, 4, 7, "Image64", "111212", "水天需", "n7", "Image64Click", "Image64MouseMove"},
      {64, 2, 4, 8, "Image65", "222212", "水地比", "n8", "Image65Click", "Image65MouseMove"},
  }};
  return kTable;
}

const THexagram* FindHexagram(std::string_view code) {
  for (const THexagram& h : Catalogue())
    if (code == h.code) return &h;
  return nullptr;
}

std::string PalaceCode(std::string_view trigram, int column) {
  std::string code = std::string(trigram) + std::string(trigram);
  auto change = [&](int line) { code[line - 1] = code[line - 1] == '1' ? '2' : '1'; };
  static const int kChanged[9][6] = {{0}, {0}, {1}, {1, 2}, {1, 2, 3}, {1, 2, 3, 4}, {1, 2, 3, 4, 5}, {1, 2, 3, 5}, {5}};
  if (column < 1 || column > 8) return {};
  for (int line : kChanged[column]) if (line) change(line);
  return code;
}

std::string DocumentPath(std::string_view code) { return "dat\\" + std::string(code) + ".rtf"; }
std::string HexagramPicture(std::string_view code) { return "q" + std::string(code); }

std::string ConfigurationPath() {
  const std::string file = TPlaces::FromEnvironment().ConfigurationFile();
  // The user's configuration folder is made when it is chosen, so that the first write succeeds.
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
  return file;
}

}  // namespace corvane
