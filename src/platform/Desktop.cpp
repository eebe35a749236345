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

}  // namespace vantrel
