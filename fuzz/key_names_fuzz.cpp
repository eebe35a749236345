// The hotkey's words for any modifier state and key code, and the settings
// dialog's key-down capture of any key press.
//
// Input: a sequence of key presses, each 8 bytes: key code and modifier state as
// little-endian 32-bit integers.

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "fake/FakeDesktop.h"
#include "link/clsAppLink.h"
#include "settings/KeyNames.h"
#include "settings/frmSettings.h"

namespace {

std::int32_t ReadInt(const std::uint8_t* p) {
    std::uint32_t u = 0;
    for (int i = 3; i >= 0; --i) u = (u << 8) | p[i];
    std::int32_t v = 0;
    std::memcpy(&v, &u, sizeof v);
    return v;
}

void CheckNames(int shift, int code) {
    const std::string shiftName = vantrel::ShiftName(shift);
    const std::string keyName = vantrel::KeyName(code);
    if (shift >= 0 && shift <= 8)
        FUZZ_CHECK(shiftName == vantrel::kShiftNames[static_cast<std::size_t>(shift)]);
    else
        FUZZ_CHECK(shiftName == "Shift " + std::to_string(shift));
    if (code >= 0 && code <= 135)
        FUZZ_CHECK(keyName == vantrel::kKeyNames[static_cast<std::size_t>(code)]);
    else
        FUZZ_CHECK(keyName == "Key " + std::to_string(code));
    FUZZ_CHECK(vantrel::HotKeyText(shift, code) == shiftName + " " + keyName);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantrel::fake::FakeDesktop d;
    vantrel::ResetAppLink();
    vantrel::frmSettings form;
    std::string shown = form.Form_Load(vantrel::AppLink().oSettings().Values()).txtHotKey;
    for (std::size_t at = 0; at + 8 <= size; at += 8) {
        const std::int32_t code = ReadInt(data + at);
        const std::int32_t shift = ReadInt(data + at + 4);
        CheckNames(shift, code);

        const std::int16_t keptCode = form.CapturedKeyCode();
        const std::int16_t keptShift = form.CapturedShift();
        const std::optional<std::string> text = form.txtHotKey_KeyDown(code, shift);
        FUZZ_CHECK(text.has_value() == vantrel::IsAcceptedHotKey(code, shift));
        if (text) {
            shown = *text;
        } else {
            FUZZ_CHECK(form.CapturedKeyCode() == keptCode && form.CapturedShift() == keptShift);
        }
        // The box always shows what OK would save.
        FUZZ_CHECK(shown == vantrel::HotKeyText(form.CapturedShift(), form.CapturedKeyCode()));
    }
    vantrel::ResetAppLink();
    return 0;
}
