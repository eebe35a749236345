#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace vantrel {

// The settings a policy enforces, which the dialog shows but cannot change.
struct SettingsLocks {
    bool sourceAppTitle = false;
    bool field = false;
    bool hotKey = false;  // the key or its modifiers
    bool saveNext = false;
    friend bool operator==(const SettingsLocks&, const SettingsLocks&) = default;
};

// What the settings dialog shows and gives back: all the settings but AppName.
struct SettingsValues {
    SettingsValues() = default;
    // Locks come last and mostly left out: most values are the user's to change.
    SettingsValues(std::string source, std::string fieldName, std::int16_t key, std::int16_t shift,
                   bool next, SettingsLocks locks = {})
        : sourceAppTitle(std::move(source)),
          field(std::move(fieldName)),
          hotKey(key),
          hotKeyShift(shift),
          saveNext(next),
          locked(locks) {}
    std::string sourceAppTitle;
    std::string field;
    std::int16_t hotKey = 0;
    std::int16_t hotKeyShift = 0;  // 1 Shift, 2 Ctrl, 4 Alt
    bool saveNext = false;
    SettingsLocks locked;
    friend bool operator==(const SettingsValues&, const SettingsValues&) = default;
};

// Where a setting in force was read, lowest first.
enum class SettingSource : std::uint8_t { Default, Machine, User, UserPolicy, MachinePolicy };

// The user's configuration and its stored form: application "Vantrel",
// section "Settings" of the per-user settings store. Key by key, the value a
// machine policy enforces wins, then a user policy's, then the user's own,
// then the one set for the whole machine (an office's installer), and only
// where none has it is the default taken.
class clsSettings {
  public:
    bool savenext() const { return savenext_; }
    void savenext(bool value) { savenext_ = value; }

    // The modifiers as hotkey registration takes them (1 Alt, 2 Control, 4 Shift).
    std::int16_t HotKeyMod() const { return hotKeyMod_; }

    // The modifiers as key events report them (1 Shift, 2 Ctrl, 4 Alt).
    void HotKeyShift(std::int16_t value);
    std::int16_t HotKeyShift() const { return hotKeyShift_; }

    void HotKey(std::int16_t value) { hotKey_ = value; }
    std::int16_t HotKey() const { return hotKey_; }

    // Only "Cursor" exists: every read answers it, whatever was assigned.
    void GrabType(const std::string& value) { grabType_ = value; }
    std::string GrabType();

    // Both return true or throw Error; keys are written and read in a fixed
    // order, and a failing key leaves the ones before it done. Only the user's
    // values are written, all six, whichever level they were read from.
    // Keys a policy enforces are left as the user stored them, so the user's
    // value returns when the policy is lifted.
    bool SaveSettings();
    bool GetSettings();
    // Reads the settings in force again, as after a change of policy: the
    // keys that changed, each with its text and where it now comes from
    // ("Field \"x\" (machine policy), ..."), empty when none did. A bad value
    // throws Error and leaves this object as it was.
    std::string ReadAgain();
    // For a repair after GetSettings failed: every value that can be read is
    // taken and every other one as if its key were absent, so the settings
    // dialog offers a configuration that works once confirmed. Never throws
    // for a bad stored value.
    void GetReadableSettings();

    void Field(const std::string& value) { field_ = value; }
    std::string Field() const { return field_; }

    void AppName(const std::string& value) { appName_ = value; }
    std::string AppName() const { return appName_; }

    void SourceAppTitle(const std::string& value) { sourceAppTitle_ = value; }
    std::string SourceAppTitle() const { return sourceAppTitle_; }

    // Where each key's value was read, in the stored order (SourceWindow,
    // Field, AppName, Hotkey, HotKeyShift, SaveNext).
    const std::array<SettingSource, 6>& Sources() const { return sources_; }

    SettingsValues Values() const;
    // Takes the dialog's values but the locked ones; AppName stays as it is.
    void Assign(const SettingsValues& values);

    // 32 characters of "0" and "1", two's complement, most significant bit first.
    static std::string ConvertLongToBinaryString(std::int32_t value);

  private:
    std::string sourceAppTitle_;
    std::string appName_;
    std::string field_;
    std::string grabType_;
    std::int16_t hotKey_ = 0;
    std::int16_t hotKeyShift_ = 0;
    std::int16_t hotKeyMod_ = 0;
    bool savenext_ = false;
    std::array<SettingSource, 6> sources_{};
};

}  // namespace vantrel
