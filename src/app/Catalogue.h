// The 64 hexagrams: line code, tile, name, hover picture, document and picture of each.
//
// A line code is six characters, each "1" (yang, unbroken) or "2" (yin, broken), bottom line
// first. Tiles are laid out in eight-palace order: each row is a palace named by a trigram T,
// holding TT and the codes got from it by changing lines 1, 1-2, 1-3, 1-4, 1-5, then 1-3 and 5,
// then 5 alone.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace corvane {

struct THexagram {
  int number;             // 1..64, position in the table
  int page, row, column;  // tile position on the main window
  const char* tile;       // tile control on the page panel
  const char* code;       // line code
  const char* name;       // as the page picture prints it
  const char* hover;      // hover picture control
  const char* clickOp;    // handler bound to the tile's click
  const char* hoverOp;    // handler bound to the tile's pointer movement
};

const std::array<THexagram, 64>& Catalogue();
// Exact match against the 64 line codes; nullptr when the text is not one of them.
const THexagram* FindHexagram(std::string_view code);
// The code in column `column` (1..8) of the palace of trigram `t` (three characters).
std::string PalaceCode(std::string_view trigram, int column);

// Derived names. Documents are addressed relative to the working directory.
std::string DocumentPath(std::string_view code);     // "dat\111111.rtf"
std::string HexagramPicture(std::string_view code);  // "q111111"

// The configuration file: beside the program, or in the user's configuration folder when the
// program's folder cannot be written or belongs to an installed tree (app/Places.h).
std::string ConfigurationPath();

}  // namespace corvane
