#include "settings/frmSettings.h"

#include <limits>

#include "platform/Desktop.h"
#include "settings/KeyNames.h"
#include "settings/ScriptFieldName.h"

namespace vantrel {

namespace {

constexpr const char* kTitle = "Vantrel";
constexpr const char* kNoFieldMessage =
    "error: cannot save settings.  Please enter a field to search.";
constexpr const char* kUnwritableFieldMessage =
    "error: cannot save settings.  Please enter a field name without line breaks or tabs, "
    "using only characters of this computer's language settings.";

}  // namespace

bool IsAcceptedHotKey(int keyCode, int shift) {
    // A plain or shifted letter would steal typing from every program, so a
    // digit or letter needs Ctrl or Alt; a function key needs nothing.
    const bool functionKey = keyCode >= 112 && keyCode <= 135;
    const bool digitOrLetter = keyCode >= 48 && keyCode <= 90;
    // The setting holds 16 bits: a wider state would be saved as another one.
    const bool storable = shift >= std::numeric_limits<std::int16_t>::min() &&
                          shift <= std::numeric_limits<std::int16_t>::max();
    return storable && (functionKey || (digitOrLetter && shift > 1));
}

frmSettingsView frmSettings::Form_Load(const SettingsValues& values) {
    frmSettingsView view;
    view.txtSourceWindow = values.sourceAppTitle;
    view.txtHotKey = HotKeyText(values.hotKeyShift, values.hotKey);
    view.chkSaveNext = values.saveNext;
    view.locked = values.locked;
    hotKeyLocked_ = values.locked.hotKey;
    capturedKeyCode_ = values.hotKey;
    capturedShift_ = values.hotKeyShift;
    if (!values.field.empty())
        view.txtIndexField = values.field;
    view.caption = std::string(kTitle) + " Settings";
    return view;
}

std::optional<std::string> frmSettings::txtHotKey_KeyDown(int keyCode, int shift) {
    // Lets the character message that follows this key run first.
    CurrentDesktop().loop.ProcessPending();
    // Only what the box shows is captured, so OK never saves a key the user
    // could not see (Shift+A, Ctrl alone, Backspace...).
    if (hotKeyLocked_ || !IsAcceptedHotKey(keyCode, shift))
        return std::nullopt;
    capturedKeyCode_ = static_cast<std::int16_t>(keyCode);
    capturedShift_ = static_cast<std::int16_t>(shift);
    return HotKeyText(shift, keyCode);
}

std::optional<SettingsValues> frmSettings::cmdOK_Click(const frmSettingsView& edited) {
    Desktop& d = CurrentDesktop();
    // A field a policy enforces is not the user's to correct, and is never saved.
    if (!edited.locked.field && edited.txtIndexField.empty()) {
        d.boxes.Show(kNoFieldMessage, kTitle, Modality::Application);
        return std::nullopt;
    }
    if (!edited.locked.field && !ScriptCanCarry(edited.txtIndexField)) {
        d.boxes.Show(kUnwritableFieldMessage, kTitle, Modality::Application);
        return std::nullopt;
    }
    return SettingsValues{edited.txtSourceWindow, edited.txtIndexField, capturedKeyCode_,
                          capturedShift_,         edited.chkSaveNext,   edited.locked};
}

}  // namespace vantrel
