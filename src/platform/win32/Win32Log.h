#pragma once

#include <cstdint>
#include <string>

#include "platform/Log.h"

namespace vantrel::win32 {

// Appends UTF-8 lines to %LOCALAPPDATA%\Vantrel\Vantrel.log. When the file
// would grow past the limit it becomes Vantrel.old.log (replacing the one
// before) and a new file starts, so at most two files are kept.
class Win32Log : public Log {
  public:
    static constexpr std::uint64_t kDefaultLimit = 1024 * 1024;
    Win32Log() noexcept = default;
    // `path` ends in ".log"; the older file is the same name ending ".old.log".
    Win32Log(std::wstring path, std::uint64_t limit) noexcept;
    void Write(std::string_view line) noexcept override;

  private:
    void Append(std::string_view line);

    std::wstring path_;  // empty: the default, found at the first write
    std::uint64_t limit_ = kDefaultLimit;
};

}  // namespace vantrel::win32
