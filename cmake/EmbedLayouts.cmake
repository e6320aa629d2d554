# Turns the window layouts (*.lfm) into a C++ source that registers their texts with the loader.
# Called as: cmake -DOUT=<file.cpp> -DFILES="<a.lfm;b.lfm>" -P EmbedLayouts.cmake
set(code "// Generated from the window layouts; do not edit.\n#include \"platform/layout/Layout.h\"\n\nnamespace corvane {\nvoid RegisterBuiltInLayouts() {\n")
foreach(f ${FILES})
  get_filename_component(name ${f} NAME)
  file(READ ${f} text)
  # "{stored skin}" stands for the packed stored skin, written as binary data.
  if(DEFINED SKIN AND text MATCHES "{stored skin}")
    file(READ ${SKIN} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])" "\\1\n      " hex "${hex}")
    string(REPLACE "{stored skin}" "{\n      ${hex}}" text "${text}")
  endif()
  set(code "${code}  RegisterBuiltInLayoutText(\"${name}\", R\"lfm(${text})lfm\");\n")
endforeach()
set(code "${code}}\n}  // namespace corvane\n")
file(WRITE ${OUT}.tmp "${code}")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUT}.tmp ${OUT})
