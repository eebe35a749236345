#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// Whose policy a value is enforced by.
enum class PolicyScope { Machine, User };

// The per-user settings store, addressed by application, section and key, with
// the machine-wide values that an office's installer sets beneath it and the
// values its Group Policy enforces above it.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The stored text, or nothing when the key is absent. Throws Error when
    // the key holds something that is not text.
    virtual std::optional<std::string> Read(std::string_view app, std::string_view section,
                                            std::string_view key) = 0;
    // The same for the value set for every user of the machine. Read only:
    // nothing the program does writes there.
    virtual std::optional<std::string> ReadMachineWide(std::string_view app,
                                                       std::string_view section,
                                                       std::string_view key) = 0;
    // The same for the value a policy of `scope` enforces. Read only.
    virtual std::optional<std::string> ReadPolicy(PolicyScope scope, std::string_view app,
                                                  std::string_view section,
                                                  std::string_view key) = 0;
    // Creates or replaces the value. Throws Error when the store refuses it.
    virtual void Write(std::string_view app, std::string_view section, std::string_view key,
                       std::string_view value) = 0;
};

}  // namespace vantrel
