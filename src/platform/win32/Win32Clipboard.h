#pragma once

#include "platform/Clipboard.h"
#include "platform/win32/UniqueHandle.h"

namespace vantrel::win32 {

// The clipboard's text as CF_UNICODETEXT. Opening is retried for about a second,
// processing messages meanwhile,
// because another program may hold the clipboard.
class Win32Clipboard : public Clipboard {
  public:
    void Clear() override;
    std::string ReadText() override;
    void WriteText(std::string_view text) override;
    std::uint32_t SequenceNumber() override;

  private:
    // A window of its own to own what it writes; made at the first write.
    UniqueHwnd owner_;
};

}  // namespace vantrel::win32
