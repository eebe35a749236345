#include "settings/SettingsDialog.h"

namespace vantrel {

void ShowSettingsDialogModal(WindowHandle) {}

}  // namespace vantrel
