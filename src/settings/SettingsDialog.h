#pragma once

#include <optional>

#include "platform/Types.h"
#include "settings/clsSettings.h"

namespace vantrel {

// Shows the settings dialog modally over `owner` (0: no owner) with `values`
// and returns when it has been closed: the values the user confirmed with OK,
// for the caller to save, or nothing for Cancel. While one is open, that one
// comes to the front instead and this returns nothing at once.
std::optional<SettingsValues> ShowSettingsDialog(WindowHandle owner, const SettingsValues& values);

}  // namespace vantrel
