#pragma once

namespace vantrel {

// Opens the about box modeless, or brings the open one forward.
void ShowAboutBox();
// Whether the about box's window exists.
bool IsAboutBoxLoaded();

}  // namespace vantrel
