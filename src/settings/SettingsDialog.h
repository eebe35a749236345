#pragma once

#include "platform/Types.h"

namespace vantrel {

// Shows the settings dialog modally over `owner` (0: no owner) and returns
// when it has been closed, by OK after a successful save or by Cancel. While
// one is open, that one comes to the front instead and this returns at once.
void ShowSettingsDialogModal(WindowHandle owner);

}  // namespace vantrel
