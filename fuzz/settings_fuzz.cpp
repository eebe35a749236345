// clsSettings::GetSettings over a store whose six values (any of them absent) come
// from the input, then the settings dialog's load and OK on whatever was read.
//
// Input: one byte whose low six bits say which keys are stored (SourceWindow,
// Field, AppName, Hotkey, HotKeyShift, SaveNext, in that order), then the stored
// values of those keys, separated by "\n".

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "fake/FakeDesktop.h"
#include "link/clsAppLink.h"
#include "platform/Error.h"
#include "settings/KeyNames.h"
#include "settings/ScriptFieldName.h"
#include "settings/StoredValues.h"
#include "settings/clsSettings.h"
#include "settings/frmSettings.h"

namespace {

using vantrel::clsSettings;

constexpr std::array<const char*, 6> kKeys = {"SourceWindow", "Field",       "AppName",
                                              "Hotkey",       "HotKeyShift", "SaveNext"};

// Shift 1, Ctrl 2, Alt 4 as registration wants them: Alt 1, Ctrl 2, Shift 4.
int ExpectedMod(int shift) {
    return ((shift >> 2) & 1) * 1 + ((shift >> 1) & 1) * 2 + (shift & 1) * 4;
}

struct Snapshot {
    std::string source, field, app;
    std::int16_t hotKey, shift, mod;
    bool saveNext;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot Take(const clsSettings& s) {
    return {s.SourceAppTitle(), s.Field(),     s.AppName(), s.HotKey(),
            s.HotKeyShift(),    s.HotKeyMod(), s.savenext()};
}

// Values a start-up never reads, so a key that failed to load is seen to keep them.
void FillWithOldValues(clsSettings& s) {
    s.SourceAppTitle("old title");
    s.Field("old field");
    s.AppName("old app");
    s.HotKey(77);
    s.HotKeyShift(5);
    s.savenext(true);
}

void CheckDerivedMod(const clsSettings& s) {
    FUZZ_CHECK(s.HotKeyMod() == ExpectedMod(s.HotKeyShift()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned present = data[0];
    std::string_view rest = vantrel::fuzz::AsText(data + 1, size - 1);

    vantrel::fake::FakeDesktop d;
    std::array<std::optional<std::string>, 6> stored;
    for (std::size_t k = 0; k < kKeys.size(); ++k) {
        if ((present & (1u << k)) == 0)
            continue;
        const std::size_t end = rest.find('\n');
        stored[k] = std::string(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        d.settings.Store(kKeys[k], *stored[k]);
    }
    auto valueOf = [&](std::size_t k, const char* byDefault) {
        return stored[k].value_or(byDefault);
    };

    // What each step of GetSettings should make of its key; the first failure stops it.
    clsSettings expected;
    FillWithOldValues(expected);
    bool expectFailure = false;
    try {
        expected.SourceAppTitle(valueOf(0, ""));
        expected.Field(valueOf(1, ""));
        expected.AppName(valueOf(2, ""));
        expected.HotKey(vantrel::StoredInteger16("Hotkey", valueOf(3, "122")));
        expected.HotKeyShift(vantrel::StoredInteger16("HotKeyShift", valueOf(4, "0")));
        expected.savenext(vantrel::StoredBoolean("SaveNext", valueOf(5, "False")));
    } catch (const vantrel::Error&) {
        expectFailure = true;
    }

    clsSettings s;
    FillWithOldValues(s);
    try {
        FUZZ_CHECK(s.GetSettings());
        FUZZ_CHECK(!expectFailure);
    } catch (const vantrel::Error&) {
        FUZZ_CHECK(expectFailure);
    }
    FUZZ_CHECK(Take(s) == Take(expected));
    FUZZ_CHECK(s.GrabType() == "Cursor");
    CheckDerivedMod(s);
    FUZZ_CHECK(d.journal.CountOf("SettingsStore.Write") == 0);
    if (expectFailure)
        return 0;

    // What SaveSettings writes always reads back as it was.
    FUZZ_CHECK(s.SaveSettings());
    clsSettings again;
    FUZZ_CHECK(again.GetSettings());
    FUZZ_CHECK(Take(again) == Take(s));

    // The dialog opens on any stored hotkey, and OK keeps what it showed.
    vantrel::ResetAppLink();
    vantrel::AppLink().oSettings(std::make_shared<clsSettings>(s));
    vantrel::frmSettings form;
    const vantrel::frmSettingsView view = form.Form_Load(s.Values());
    FUZZ_CHECK(view.txtHotKey == vantrel::HotKeyText(s.HotKeyShift(), s.HotKey()));
    FUZZ_CHECK(view.txtSourceWindow == s.SourceAppTitle());
    FUZZ_CHECK(view.txtIndexField == (s.Field().empty() ? std::string("last_name") : s.Field()));
    FUZZ_CHECK(view.chkSaveNext == s.savenext());
    FUZZ_CHECK(form.CapturedKeyCode() == s.HotKey() && form.CapturedShift() == s.HotKeyShift());
    const std::optional<vantrel::SettingsValues> confirmed = form.cmdOK_Click(view);
    // A field name the script could not carry exactly is refused with a box.
    if (!vantrel::ScriptCanCarry(view.txtIndexField)) {
        FUZZ_CHECK(!confirmed && d.boxes.shown.size() == 1);
        vantrel::ResetAppLink();
        return 0;
    }
    FUZZ_CHECK(confirmed);
    FUZZ_CHECK(d.boxes.shown.empty());
    s.Assign(*confirmed);
    FUZZ_CHECK(s.SaveSettings());
    clsSettings saved;
    FUZZ_CHECK(saved.GetSettings());
    FUZZ_CHECK(saved.HotKey() == s.HotKey() && saved.HotKeyShift() == s.HotKeyShift());
    FUZZ_CHECK(saved.Field() == view.txtIndexField && saved.SourceAppTitle() == s.SourceAppTitle());
    FUZZ_CHECK(saved.savenext() == s.savenext() && saved.AppName() == s.AppName());
    CheckDerivedMod(saved);
    vantrel::ResetAppLink();
    return 0;
}
