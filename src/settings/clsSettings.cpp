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

// One place a value may be read from, highest first, and what a failure
// there adds to its description.
struct Level {
    SettingSource source;
    const char* failureNote;
};

// clang-format off
constexpr std::array<Level, 4> kLevels{{
    {SettingSource::MachinePolicy, " (set by policy)"},
    {SettingSource::UserPolicy,    " (set by policy)"},
    {SettingSource::User,          ""},
    {SettingSource::Machine,       " (set for the whole machine)"},
}};
// clang-format on

std::optional<std::string> ReadAt(SettingSource source, const char* key) {
    SettingsStore& store = CurrentDesktop().settings;
    switch (source) {
        case SettingSource::MachinePolicy:
            return store.ReadPolicy(PolicyScope::Machine, kApp, kSection, key);
        case SettingSource::UserPolicy:
            return store.ReadPolicy(PolicyScope::User, kApp, kSection, key);
        case SettingSource::User:
            return store.Read(kApp, kSection, key);
        case SettingSource::Machine:
            return store.ReadMachineWide(kApp, kSection, key);
        case SettingSource::Default:
            break;
    }
    return std::nullopt;
}

// Takes the value in force for `key` from the highest level that holds it,
// else the built-in default, and says where it came from.
SettingSource TakeInForce(clsSettings& settings, const SettingKey& key) {
    for (const Level& level : kLevels) {
        try {
            if (const std::optional<std::string> text = ReadAt(level.source, key.name)) {
                key.take(settings, key.name, *text);
                return level.source;
            }
        } catch (const Error& e) {
            // The clerk's own store may be fine: say where the bad value is.
            throw Error(std::string(e.what()) + level.failureNote);
        }
    }
    key.take(settings, key.name, key.byDefault);
    return SettingSource::Default;
}

bool IsPolicy(SettingSource source) {
    return source == SettingSource::MachinePolicy || source == SettingSource::UserPolicy;
}

const char* SourceName(SettingSource source) {
    switch (source) {
        case SettingSource::MachinePolicy:
            return "machine policy";
        case SettingSource::UserPolicy:
            return "user policy";
        case SettingSource::User:
            return "user";
        case SettingSource::Machine:
            return "machine";
        case SettingSource::Default:
            break;
    }
    return "default";
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
    const auto locked = [this](std::size_t key) { return IsPolicy(sources_[key]); };
    return {SourceAppTitle(), Field(),
            HotKey(),         HotKeyShift(),
            savenext(),       {locked(0), locked(1), locked(3) || locked(4), locked(5)}};
}

// A value a policy enforces stays the one in force, whatever the dialog held.
void clsSettings::Assign(const SettingsValues& values) {
    const SettingsLocks& locked = values.locked;
    if (!locked.sourceAppTitle)
        SourceAppTitle(values.sourceAppTitle);
    if (!locked.field)
        Field(values.field);
    if (!locked.hotKey) {
        HotKey(values.hotKey);
        HotKeyShift(values.hotKeyShift);
    }
    if (!locked.saveNext)
        savenext(values.saveNext);
}

bool clsSettings::SaveSettings() {
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (IsPolicy(sources_[i]))
            continue;
        CurrentDesktop().settings.Write(kApp, kSection, kKeys[i].name, kKeys[i].stored(*this));
        sources_[i] = SettingSource::User;
    }
    return true;
}

bool clsSettings::GetSettings() {
    std::string fromMachine;
    std::string byPolicy;
    try {
        GrabType("Cursor");
        for (std::size_t i = 0; i < kKeys.size(); ++i) {
            sources_[i] = TakeInForce(*this, kKeys[i]);
            std::string& list = IsPolicy(sources_[i]) ? byPolicy : fromMachine;
            if (IsPolicy(sources_[i]) || sources_[i] == SettingSource::Machine)
                list += (list.empty() ? "" : ", ") + std::string(kKeys[i].name);
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
             (fromMachine.empty() ? "" : "; from the machine: " + fromMachine) +
             (byPolicy.empty() ? "" : "; set by policy: " + byPolicy));
    return true;
}

std::string clsSettings::ReadAgain() {
    clsSettings fresh = *this;
    for (std::size_t i = 0; i < kKeys.size(); ++i) fresh.sources_[i] = TakeInForce(fresh, kKeys[i]);
    std::string changes;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        const std::string text = kKeys[i].stored(fresh);
        if (text == kKeys[i].stored(*this) && fresh.sources_[i] == sources_[i])
            continue;
        changes += (changes.empty() ? "" : ", ") + std::string(kKeys[i].name) + " " +
                   StoredTextQuoted(text) + " (" + SourceName(fresh.sources_[i]) + ")";
    }
    *this = fresh;
    return changes;
}

// A value that cannot be read counts as absent, so the next one down is offered.
void clsSettings::GetReadableSettings() {
    GrabType("Cursor");
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        const SettingKey& key = kKeys[i];
        sources_[i] = SettingSource::Default;
        for (const Level& level : kLevels) {
            try {
                if (const std::optional<std::string> text = ReadAt(level.source, key.name)) {
                    key.take(*this, key.name, *text);
                    sources_[i] = level.source;
                    break;
                }
            } catch (const std::exception&) {
                LogCaught(std::string("setting ") + std::string(key.name) + " could not be read");
            }
        }
        if (sources_[i] == SettingSource::Default)
            key.take(*this, key.name, key.byDefault);
    }
}

}  // namespace vantrel
