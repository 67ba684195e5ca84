// The one error type of the generator: a bad description or a failed write.
#pragma once

#include <stdexcept>
#include <string>

namespace ostrel::jetgen {

class GeneratorError : public std::runtime_error {
  public:
    explicit GeneratorError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace ostrel::jetgen
