#pragma once

#include <string_view>

namespace vantrel {

// The diagnostic log a support person reads: one line per event, stamped with
// the local time. Never the captured text: it may be personal data.
class Log {
  public:
    virtual ~Log() = default;
    // Appends one event. A log that cannot be written is skipped: logging
    // never fails or disturbs the caller.
    virtual void Write(std::string_view line) noexcept = 0;
};

// A log that keeps nothing, for service sets made without one.
Log& NoLog() noexcept;

// Writes one event to the current desktop's log; does nothing when no desktop
// services are installed.
void LogEvent(std::string_view line) noexcept;

// For a failure caught where no box is shown: logs "<context>: <description>"
// of the exception being handled, so that no failure goes unsaid. Call it
// only inside a catch block.
void LogCaught(std::string_view context) noexcept;

}  // namespace vantrel
