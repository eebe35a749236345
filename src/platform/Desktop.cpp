#include "platform/Desktop.h"

#include <exception>
#include <string>

#include "platform/Error.h"
#include "platform/ErrorBox.h"

namespace vantrel {

namespace {
Desktop* gDesktop = nullptr;
}

Desktop& CurrentDesktop() {
    if (gDesktop == nullptr)
        throw Error("no desktop services installed");
    return *gDesktop;
}

DesktopScope::DesktopScope(Desktop& desktop) : previous_(gDesktop) {
    gDesktop = &desktop;
}

DesktopScope::~DesktopScope() {
    gDesktop = previous_;
}

Log& NoLog() noexcept {
    class Nothing : public Log {
      public:
        void Write(std::string_view) noexcept override {}
    };
    static Nothing nothing;
    return nothing;
}

void LogEvent(std::string_view line) noexcept {
    if (gDesktop != nullptr)
        gDesktop->log.Write(line);
}

void LogCaught(std::string_view context) noexcept {
    try {
        LogEvent(std::string(context) + ": " + DescriptionOf(std::current_exception()));
    } catch (...) {
        // Out of memory for the line: the log is skipped, as when it cannot be written.
    }
}

}  // namespace vantrel
