#include "platform/Desktop.h"

#include "platform/Error.h"

namespace vantrel {

namespace {
Desktop* gDesktop = nullptr;
}

Desktop& CurrentDesktop() {
    if (gDesktop == nullptr) throw Error("no desktop services installed");
    return *gDesktop;
}

DesktopScope::DesktopScope(Desktop& desktop) : previous_(gDesktop) { gDesktop = &desktop; }

DesktopScope::~DesktopScope() { gDesktop = previous_; }

Log& NoLog() noexcept {
    class Nothing : public Log {
    public:
        void Write(std::string_view) noexcept override {}
    };
    static Nothing nothing;
    return nothing;
}

void LogEvent(std::string_view line) noexcept {
    if (gDesktop != nullptr) gDesktop->log.Write(line);
}

}  // namespace vantrel
