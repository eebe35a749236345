#pragma once

#include "platform/Error.h"

// The state of the press under way, in one place: whether there is one, and
// whether it must come to nothing. Every step that acts outside the program
// (a key sent, the script written, the runner started, Document Center
// activated) asks first, since any wait or message pass before it may have run
// Exit or the Settings command.
namespace vantrel::Press {

// A press that must come to nothing: the program is closing, the settings it
// was made with are being changed, the modifiers never came up, or the source
// window could not be brought back to the front.
class Abandoned : public Error {
  public:
    using Error::Error;
};

// One press from the hotkey's arrival until its key has been let go. A new
// press is never abandoned, whatever became of the one before.
class Scope {
  public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

bool UnderWay();

// Makes the press under way, if any, come to nothing at its next step.
void Abandon();

bool IsAbandoned();

// Throws Abandoned when the press under way has been abandoned.
void Check();

}  // namespace vantrel::Press

namespace vantrel {
using PressAbandoned = Press::Abandoned;
}  // namespace vantrel
