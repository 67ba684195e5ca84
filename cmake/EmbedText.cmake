# Writes a C++ source defining a function that returns the text of a file, so
# that assets kept as real files in the source tree are built into a library.
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DFUNCTION=ns::Name -DHEADER=path.h -P EmbedText.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(('\\\\x[0-9a-f][0-9a-f]',){16})" "\\1\n" bytes "${bytes}")
string(REGEX MATCH "^(.*)::([^:]+)$" matched "${FUNCTION}")
set(namespace "${CMAKE_MATCH_1}")
set(name "${CMAKE_MATCH_2}")
get_filename_component(source_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
"// Made at build time from ${source_name}; edit that file instead.
#include \"${HEADER}\"

namespace ${namespace} {
namespace {
constexpr char kText[${size} + 1] = {
${bytes}'\\0'};
}  // namespace

std::string_view ${name}() {
    return {kText, ${size}};
}

}  // namespace ${namespace}
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
