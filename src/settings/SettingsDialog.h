#pragma once

#include "platform/Types.h"

namespace vantrel {

// Shows the settings dialog modally over `owner` (0: no owner) and returns
// when it has been closed, by OK after a successful save or by Cancel.
void ShowSettingsDialogModal(WindowHandle owner);

}  // namespace vantrel
