#pragma once

#include "platform/Processes.h"

namespace vantrel::win32 {

// CreateProcessW with the program path given separately from the command line.
class Win32Processes : public Processes {
  public:
    void Start(std::string_view program, std::string_view commandLine, ShowState show) override;
};

}  // namespace vantrel::win32
