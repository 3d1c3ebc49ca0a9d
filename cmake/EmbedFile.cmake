# Writes a C++ source that holds the bytes of INPUT as an array named NAME in namespace ui.
file(READ "${INPUT}" bytes HEX)
string(LENGTH "${bytes}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," array "${bytes}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n" array "${array}")
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n\nnamespace ui {\nextern const unsigned char ${NAME}[] = {\n${array}\n};\nextern const std::size_t ${NAME}Size = ${size};\n}  // namespace ui\n")
