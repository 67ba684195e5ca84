#pragma once

#include <string>
#include <string_view>

namespace ostrel::engine {

// XML laid out for reading: one element per line, indented by two blanks for
// each level, an element that holds only text kept on one line with it.
// Text, attributes, comments and CDATA are kept as they are; white space
// between tags is dropped. Lines end in LF. Text that is not well-formed XML
// is laid out as far as its tags can be told apart, and nothing of it is
// lost but the white space between tags.
std::string LayOutXml(std::string_view xml);

}  // namespace ostrel::engine
