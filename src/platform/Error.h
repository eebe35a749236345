#pragma once

#include <source_location>
#include <stdexcept>
#include <string>

namespace vantrel {

// The one failure type of the program. what() is the description that the
// "error in ..." boxes show after the procedure's name; where() is the place
// in the source that raised it, which the log adds for whoever debugs it.
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& description,
                   std::source_location where = std::source_location::current())
        : std::runtime_error(description), where_(where) {}
    const std::source_location& where() const { return where_; }

  private:
    std::source_location where_;
};

}  // namespace vantrel
