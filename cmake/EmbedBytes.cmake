# Turns a binary file into a C++ source defining kStoredSkinData / kStoredSkinSize.
# Called as: cmake -DIN=<file> -DOUT=<file.cpp> -P EmbedBytes.cmake
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Sixteen bytes a line.
string(REGEX REPLACE "(0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],0x[0-9a-f][0-9a-f],)" "\\1\n   " bytes "${bytes}")
file(WRITE ${OUT}.tmp "// Generated from ${IN}; do not edit.\n#include <cstddef>\n\nextern const unsigned char kStoredSkinData[];\nextern const size_t kStoredSkinSize;\n\nalignas(16) const unsigned char kStoredSkinData[] = {\n   ${bytes}\n};\nconst size_t kStoredSkinSize = ${size};\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUT}.tmp ${OUT})
