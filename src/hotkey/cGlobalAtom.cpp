#include "hotkey/cGlobalAtom.h"

namespace vantrel {

cGlobalAtom::cGlobalAtom() = default;
cGlobalAtom::~cGlobalAtom() = default;

}  // namespace vantrel
