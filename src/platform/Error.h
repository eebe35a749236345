#pragma once

#include <stdexcept>
#include <string>

namespace vantrel {

// Where in the source a failure was raised. std::source_location would do, but
// clang before 15 cannot make one (Debian 12's, which builds the fuzzers): the
// compilers' own builtins, as default arguments, give the caller's place.
class SourcePlace {
  public:
    static constexpr SourcePlace current(const char* file = __builtin_FILE(),
                                         unsigned line = __builtin_LINE()) noexcept {
        return SourcePlace(file, line);
    }
    constexpr const char* file_name() const noexcept { return file_; }
    constexpr unsigned line() const noexcept { return line_; }

  private:
    constexpr SourcePlace(const char* file, unsigned line) noexcept : file_(file), line_(line) {}
    const char* file_;
    unsigned line_;
};

// The one failure type of the program. what() is the description that the
// "error in ..." boxes show after the procedure's name; where() is the place
// in the source that raised it, which the log adds for whoever debugs it.
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& description, SourcePlace where = SourcePlace::current())
        : std::runtime_error(description), where_(where) {}
    const SourcePlace& where() const { return where_; }

  private:
    SourcePlace where_;
};

}  // namespace vantrel
