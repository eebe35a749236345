#pragma once

#include <cstdint>

namespace vantrel {

// A global atom named after the moment it was made, used as the hotkey's
// identifier. Deleted again when the owner goes.
class cGlobalAtom {
  public:
    cGlobalAtom();
    ~cGlobalAtom();
    cGlobalAtom(const cGlobalAtom&) = delete;
    cGlobalAtom& operator=(const cGlobalAtom&) = delete;

    // 0 when the platform refused the atom.
    std::int32_t value() const { return atom_; }

  private:
    std::int32_t atom_ = 0;
};

}  // namespace vantrel
