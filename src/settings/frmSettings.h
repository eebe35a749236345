#pragma once

// The settings dialog's logic, apart from its window: the window fills its
// controls from a frmSettingsView, reports key presses in the hotkey box,
// and hands the edited view back on OK.

#include <cstdint>
#include <optional>
#include <string>

#include "settings/clsSettings.h"

namespace vantrel {

// What the dialog's controls show.
struct frmSettingsView {
    std::string caption = "Settings";
    std::string txtHotKey = "F11";
    std::string txtSourceWindow;
    std::string txtIndexField = "last_name";
    bool chkSaveNext = false;
    SettingsLocks locked;  // controls that show a value a policy enforces
};

class frmSettings {
  public:
    // The load steps: the view filled from `values`, and the captured hotkey
    // taken from them.
    frmSettingsView Form_Load(const SettingsValues& values);

    // A key pressed in the hotkey box with the modifier state `shift` (1
    // Shift, 2 Ctrl, 4 Alt). F1..F24 with any modifiers, or a digit or letter
    // code with Ctrl or Alt, is captured; its text is returned for the box.
    // Anything else changes nothing. Characters typed in the box are never
    // taken, so the box always shows what OK saves.
    std::optional<std::string> txtHotKey_KeyDown(int keyCode, int shift);

    // Validates `edited`: the values for the caller to save, and the dialog
    // closes; or nothing, a box says why, and the dialog stays open.
    std::optional<SettingsValues> cmdOK_Click(const frmSettingsView& edited);

    // Cancel leaves the settings as they are; the dialog closes.
    bool cmdCancel_Click() const { return true; }

    std::int16_t CapturedKeyCode() const { return capturedKeyCode_; }
    std::int16_t CapturedShift() const { return capturedShift_; }

  private:
    std::int16_t capturedKeyCode_ = 0;
    std::int16_t capturedShift_ = 0;
    bool hotKeyLocked_ = false;
};

// True for a key press the hotkey box takes.
bool IsAcceptedHotKey(int keyCode, int shift);

}  // namespace vantrel
