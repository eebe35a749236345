#include "settings/clsSettings.h"

#include <array>
#include <exception>
#include <optional>

#include "platform/Desktop.h"
#include "platform/Error.h"
#include "settings/KeyNames.h"
#include "settings/StoredValues.h"

namespace vantrel {

namespace {

constexpr const char* kApp = "Vantrel";
constexpr const char* kSection = "Settings";

// One stored key: its name, the text that stands for it when neither the user
// nor the machine holds it, and how a value moves between text and object.
struct SettingKey {
    const char* name;
    const char* byDefault;
    std::string (*stored)(const clsSettings& settings);
    // Throws Error when the text is not of the key's form.
    void (*take)(clsSettings& settings, const char* key, const std::string& text);
};

// Written and read in this order: a failing key leaves the ones before it done.
constexpr std::array<SettingKey, 6> kKeys{{
    {"SourceWindow", "", [](const clsSettings& s) { return s.SourceAppTitle(); },
     [](clsSettings& s, const char*, const std::string& text) { s.SourceAppTitle(text); }},
    {"Field", "", [](const clsSettings& s) { return s.Field(); },
     [](clsSettings& s, const char*, const std::string& text) { s.Field(text); }},
    {"AppName", "", [](const clsSettings& s) { return s.AppName(); },
     [](clsSettings& s, const char*, const std::string& text) { s.AppName(text); }},
    {"Hotkey", "122", [](const clsSettings& s) { return StoredText(s.HotKey()); },
     [](clsSettings& s, const char* key, const std::string& text) {
         s.HotKey(StoredInteger16(key, text));
     }},
    {"HotKeyShift", "0", [](const clsSettings& s) { return StoredText(s.HotKeyShift()); },
     [](clsSettings& s, const char* key, const std::string& text) {
         s.HotKeyShift(StoredInteger16(key, text));
     }},
    {"SaveNext", "False", [](const clsSettings& s) { return StoredText(s.savenext()); },
     [](clsSettings& s, const char* key, const std::string& text) {
         s.savenext(StoredBoolean(key, text));
     }},
}};

// Takes the value in force for `key`: the user's, else the one set for the
// whole machine, else the built-in default. True when it was the machine's.
bool TakeInForce(clsSettings& settings, const SettingKey& key) {
    SettingsStore& store = CurrentDesktop().settings;
    if (const std::optional<std::string> user = store.Read(kApp, kSection, key.name)) {
        key.take(settings, key.name, *user);
        return false;
    }
    try {
        if (const std::optional<std::string> machine =
                store.ReadMachineWide(kApp, kSection, key.name)) {
            key.take(settings, key.name, *machine);
            return true;
        }
    } catch (const Error& e) {
        // The clerk's own store is fine: say where the bad value is.
        throw Error(std::string(e.what()) + " (set for the whole machine)");
    }
    key.take(settings, key.name, key.byDefault);
    return false;
}

}  // namespace

void clsSettings::HotKeyShift(std::int16_t value) {
    hotKeyShift_ = value;
    // Key events put Shift in bit 0 and Alt in bit 2, registration the other
    // way round: read the three low bits back to front.
    const std::string bits = ConvertLongToBinaryString(value);
    const std::string low = bits.substr(bits.size() - 3);
    hotKeyMod_ =
        static_cast<std::int16_t>((low[0] - '0') * 1 + (low[1] - '0') * 2 + (low[2] - '0') * 4);
}

std::string clsSettings::GrabType() {
    grabType_ = "Cursor";
    return grabType_;
}

std::string clsSettings::ConvertLongToBinaryString(std::int32_t value) {
    std::string bits(value < 0 ? "1" : "0");
    const auto u = static_cast<std::uint32_t>(value);
    for (int n = 30; n >= 0; --n) bits += (u & (1u << n)) != 0 ? '1' : '0';
    return bits;
}

SettingsValues clsSettings::Values() const {
    return {SourceAppTitle(), Field(), HotKey(), HotKeyShift(), savenext()};
}

void clsSettings::Assign(const SettingsValues& values) {
    SourceAppTitle(values.sourceAppTitle);
    Field(values.field);
    HotKey(values.hotKey);
    HotKeyShift(values.hotKeyShift);
    savenext(values.saveNext);
}

bool clsSettings::SaveSettings() {
    for (const SettingKey& key : kKeys) {
        CurrentDesktop().settings.Write(kApp, kSection, key.name, key.stored(*this));
    }
    return true;
}

bool clsSettings::GetSettings() {
    std::string fromMachine;
    try {
        GrabType("Cursor");
        for (const SettingKey& key : kKeys) {
            if (TakeInForce(*this, key))
                fromMachine += (fromMachine.empty() ? "" : ", ") + std::string(key.name);
        }
    } catch (const std::exception& e) {
        LogEvent(std::string("settings could not be read: ") + e.what());
        throw;
    }
    // The configuration, which support needs to see; nothing captured is in it.
    LogEvent("settings loaded: hotkey " + HotKeyLabel(HotKeyShift(), HotKey()) +
             ", source window " + StoredTextQuoted(SourceAppTitle()) + ", index field " +
             StoredTextQuoted(Field()) + ", application " + StoredTextQuoted(AppName()) +
             ", Auto Save/Next " + (savenext() ? "on" : "off") +
             (fromMachine.empty() ? "" : "; from the machine: " + fromMachine));
    return true;
}

// A value that cannot be read counts as absent, so the next one down is offered.
void clsSettings::GetReadableSettings() {
    SettingsStore& store = CurrentDesktop().settings;
    GrabType("Cursor");
    for (const SettingKey& key : kKeys) {
        const auto took = [&](auto read) {
            try {
                const std::optional<std::string> text = read();
                if (text)
                    key.take(*this, key.name, *text);
                return text.has_value();
            } catch (const std::exception&) {
                LogCaught(std::string("setting ") + std::string(key.name) + " could not be read");
                return false;
            }
        };
        if (!took([&] { return store.Read(kApp, kSection, key.name); }) &&
            !took([&] { return store.ReadMachineWide(kApp, kSection, key.name); }))
            key.take(*this, key.name, key.byDefault);
    }
}

}  // namespace vantrel
