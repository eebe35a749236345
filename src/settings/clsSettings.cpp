#include "settings/clsSettings.h"

#include <exception>

#include "platform/Desktop.h"
#include "settings/KeyNames.h"
#include "settings/StoredValues.h"

namespace vantrel {

namespace {

constexpr const char* kApp = "Vantrel";
constexpr const char* kSection = "Settings";

std::string ReadSetting(const char* key, const char* byDefault) {
    return CurrentDesktop().settings.Read(kApp, kSection, key).value_or(byDefault);
}

void WriteSetting(const char* key, const std::string& value) {
    CurrentDesktop().settings.Write(kApp, kSection, key, value);
}

}  // namespace

void clsSettings::HotKeyShift(std::int16_t value) {
    hotKeyShift_ = value;
    // Key events put Shift in bit 0 and Alt in bit 2, registration the other
    // way round: read the three low bits back to front.
    const std::string bits = ConvertLongToBinaryString(value);
    const std::string low = bits.substr(bits.size() - 3);
    hotKeyMod_ = static_cast<std::int16_t>((low[0] - '0') * 1 + (low[1] - '0') * 2 + (low[2] - '0') * 4);
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
    WriteSetting("SourceWindow", SourceAppTitle());
    WriteSetting("Field", Field());
    WriteSetting("AppName", AppName());
    WriteSetting("Hotkey", StoredText(HotKey()));
    WriteSetting("HotKeyShift", StoredText(HotKeyShift()));
    WriteSetting("SaveNext", StoredText(savenext()));
    return true;
}

bool clsSettings::GetSettings() {
    try {
        GrabType("Cursor");
        SourceAppTitle(ReadSetting("SourceWindow", ""));
        Field(ReadSetting("Field", ""));
        AppName(ReadSetting("AppName", ""));
        HotKey(StoredInteger16("Hotkey", ReadSetting("Hotkey", "122")));
        HotKeyShift(StoredInteger16("HotKeyShift", ReadSetting("HotKeyShift", "0")));
        savenext(StoredBoolean("SaveNext", ReadSetting("SaveNext", "False")));
    } catch (const std::exception& e) {
        LogEvent(std::string("settings could not be read: ") + e.what());
        throw;
    }
    // The configuration, which support needs to see; nothing captured is in it.
    LogEvent("settings loaded: hotkey " + HotKeyLabel(HotKeyShift(), HotKey()) +
             ", source window " + StoredTextQuoted(SourceAppTitle()) +
             ", index field " + StoredTextQuoted(Field()) +
             ", application " + StoredTextQuoted(AppName()) +
             ", Auto Save/Next " + (savenext() ? "on" : "off"));
    return true;
}

void clsSettings::GetReadableSettings() {
    auto readable = [](auto read, auto byDefault) {
        try {
            return read();
        } catch (const std::exception&) {
            return byDefault;
        }
    };
    GrabType("Cursor");
    SourceAppTitle(readable([] { return ReadSetting("SourceWindow", ""); }, std::string()));
    Field(readable([] { return ReadSetting("Field", ""); }, std::string()));
    AppName(readable([] { return ReadSetting("AppName", ""); }, std::string()));
    HotKey(readable([] { return StoredInteger16("Hotkey", ReadSetting("Hotkey", "122")); },
                    std::int16_t{122}));
    HotKeyShift(readable([] { return StoredInteger16("HotKeyShift", ReadSetting("HotKeyShift", "0")); },
                         std::int16_t{0}));
    savenext(readable([] { return StoredBoolean("SaveNext", ReadSetting("SaveNext", "False")); }, false));
}

}  // namespace vantrel
