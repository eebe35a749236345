#pragma once

#include <functional>

namespace vantrel {

class frmmain;

// Creates the hidden main window and returns its logic, which lives until the
// program ends. Throws Error when the window cannot be created.
using MainWindowLoader = std::function<frmmain&()>;

// The start-up procedure: creates and loads the main window. A failure on the
// way is shown in a system-modal box "error in Main: ..."; the window then
// stays loaded, with its tray icon, so that the settings can be repaired
// through the Settings command.
void Main(const MainWindowLoader& loadMainWindow);

}  // namespace vantrel
