#pragma once

#include <stdexcept>
#include <string>

namespace vantrel {

// The one failure type of the program. what() is the description that the
// "error in ..." boxes show after the procedure's name.
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& description) : std::runtime_error(description) {}
};

}  // namespace vantrel
