#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Removes every format. Throws Error when the clipboard cannot be opened.
    virtual void Clear() = 0;
    // The text on the clipboard (UTF-8), empty when it holds none. Throws Error
    // when the clipboard cannot be opened.
    virtual std::string ReadText() = 0;
    // Replaces the clipboard's contents with the text (UTF-8). Throws Error
    // when the clipboard cannot be opened or written.
    virtual void WriteText(std::string_view text) = 0;
    // Changes whenever the clipboard's contents change; used to wait for a copy.
    virtual std::uint32_t SequenceNumber() = 0;
};

}  // namespace vantrel
