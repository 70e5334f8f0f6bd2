# Writes a C++ source that holds the bytes of a file, for data built into the program.
# cmake -DINPUT=<file> -DOUTPUT=<source.cpp> -DFUNCTION=<name in namespace qov> -P EmbedFile.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n  " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT} by EmbedFile.cmake; do not edit.\n"
  "#include <cstdint>\n#include <span>\n\n"
  "namespace qov {\nnamespace {\nconstexpr std::uint8_t kData[${size}] = {\n  ${bytes}\n};\n}  // namespace\n\n"
  "std::span<const std::uint8_t> ${FUNCTION}() { return kData; }\n\n}  // namespace qov\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
