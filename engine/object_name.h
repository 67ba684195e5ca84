#pragma once

#include <string>
#include <string_view>

namespace ostrel::engine {

// The key under which Access tells object names apart: letter case does not
// count, for ASCII letters and for the accented letters of Latin-1. Two names
// are the same object's name when their keys are equal.
std::string NameKey(std::string_view name);

}  // namespace ostrel::engine
