#include "about/AboutBox.h"

namespace vantrel {

void ShowAboutBox() {}
bool IsAboutBoxLoaded() { return false; }

}  // namespace vantrel
