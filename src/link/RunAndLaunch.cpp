// Placeholder bodies until the capture and hand-off are built.
#include "link/clsAppLink.h"
#include "platform/Error.h"

namespace vantrel {

void clsAppLink::RunSearch() { throw Error("RunSearch is not built yet"); }
void clsAppLink::RunIndex() { throw Error("RunIndex is not built yet"); }
void clsAppLink::GrabData() { throw Error("GrabData is not built yet"); }
void clsAppLink::LaunchSearch() {}
void clsAppLink::LaunchIndex() {}

}  // namespace vantrel
