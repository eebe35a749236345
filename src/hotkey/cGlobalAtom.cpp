#include "hotkey/cGlobalAtom.h"

#include "platform/Desktop.h"
#include "platform/Log.h"

namespace vantrel {

// The atom is named after this moment, so two runs never share a name; a
// refused atom is kept as 0 and used all the same.
cGlobalAtom::cGlobalAtom() {
    Desktop& desktop = CurrentDesktop();
    atom_ = desktop.atoms.Add(desktop.clock.NowAsGeneralDate());
}

// The result of the deletion is of no use here, and a destructor must not throw.
cGlobalAtom::~cGlobalAtom() {
    try {
        CurrentDesktop().atoms.Delete(atom_);
    } catch (...) {
        LogCaught("the hotkey's atom was not deleted");
    }
}

}  // namespace vantrel
