// Text encodings: the program's strings are UTF-8; files of the original platform are GBK
// (code page 936).
#pragma once

#include <string>
#include <string_view>

namespace corvane {

// GBK bytes to UTF-8. Bytes that do not form a GBK character become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);
// UTF-8 to GBK. Characters GBK cannot hold become "?"; invalid UTF-8 bytes are dropped.
std::string Utf8ToGbk(std::string_view utf8);
// True when the UTF-8 character can be written in GBK.
bool IsGbkEncodable(char32_t ch);
bool IsValidUtf8(std::string_view s);
// Decodes one UTF-8 character at s[i], advancing i; returns U+FFFD for a malformed sequence.
char32_t DecodeUtf8(std::string_view s, size_t& i);
void AppendUtf8(std::string& out, char32_t ch);
// The most characters of the text that follow one another with no place between them where the
// toolkit's line layout may break (its own line-break rules decide: after blanks, between Chinese
// characters, after a hyphen between letters; not between two hyphens or before "、"). Blanks at
// the end of a stretch are not counted. With `markup`, the text is HTML as the layout meets it:
// inline tags (b, i, span, font, a ...) join the text on both sides, every other tag breaks, and
// an entity is one character.
size_t LongestUnbrokenStretch(std::string_view utf8, bool markup = false);
// Text with a stretch this long is laid out wrapping anywhere: looking for a word boundary in it
// line after line would cost time that grows with the square of its length.
inline constexpr size_t kLongUnbrokenStretch = 1000;
// Length in bytes of the GBK character that starts with byte b (1 or 2).
inline int GbkCharLength(unsigned char b) { return b >= 0x81 && b <= 0xFE ? 2 : 1; }

}  // namespace corvane
