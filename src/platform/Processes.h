#pragma once

#include <string_view>

namespace vantrel {

enum class ShowState { NormalFocus = 1, MinimizedFocus = 2 };

class Processes {
  public:
    virtual ~Processes() = default;
    // Starts `program` (a full path; any other is refused, never searched
    // for) in the program's own folder, with `commandLine`
    // handed over unchanged, and returns at once. Throws Error when it cannot
    // be started.
    virtual void Start(std::string_view program, std::string_view commandLine, ShowState show) = 0;
};

}  // namespace vantrel
