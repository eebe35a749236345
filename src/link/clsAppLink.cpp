#include "link/clsAppLink.h"

#include <limits>

#include "platform/Error.h"

namespace vantrel {

namespace {
std::unique_ptr<clsAppLink> gAppLink;
}

clsAppLink& AppLink() {
    if (!gAppLink) gAppLink = std::make_unique<clsAppLink>();
    return *gAppLink;
}

void ResetAppLink() { gAppLink.reset(); }

clsSettings& clsAppLink::oSettings() {
    if (!settings_) settings_ = std::make_shared<clsSettings>();
    return *settings_;
}

void clsAppLink::ProcedureType(std::int32_t vData) {
    if (vData < std::numeric_limits<std::int16_t>::min() ||
        vData > std::numeric_limits<std::int16_t>::max())
        throw Error("Overflow: ProcedureType cannot hold " + std::to_string(vData));
    procedureType_ = static_cast<std::int16_t>(vData);
}

std::shared_ptr<vantrel::colFields> clsAppLink::colFields() {
    if (!fields_) fields_ = std::make_shared<vantrel::colFields>();
    return fields_;
}

}  // namespace vantrel
