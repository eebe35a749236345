#pragma once

#include "platform/MessageBoxes.h"

namespace vantrel::win32 {

// OK-only MessageBoxW.
class Win32MessageBoxes : public MessageBoxes {
  public:
    void Show(std::string_view text, std::string_view caption, Modality modality) override;
};

}  // namespace vantrel::win32
