#pragma once

#include <string_view>

namespace vantrel {

class GlobalAtoms {
  public:
    virtual ~GlobalAtoms() = default;
    // 0 when the platform refuses.
    virtual int Add(std::string_view name) = 0;
    virtual void Delete(int atom) = 0;
};

}  // namespace vantrel
