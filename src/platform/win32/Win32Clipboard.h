#pragma once

#include "platform/Clipboard.h"

namespace vantrel::win32 {

// The clipboard's text as CF_UNICODETEXT. Opening is retried for about a second,
// processing messages meanwhile,
// because another program may hold the clipboard.
class Win32Clipboard : public Clipboard {
  public:
    void Clear() override;
    std::string ReadText() override;
    std::uint32_t SequenceNumber() override;
};

}  // namespace vantrel::win32
