#pragma once

#include "platform/GlobalAtoms.h"

namespace vantrel::win32 {

// The global atom table.
class Win32GlobalAtoms : public GlobalAtoms {
  public:
    int Add(std::string_view name) override;
    void Delete(int atom) override;
};

}  // namespace vantrel::win32
