#pragma once

#include <string_view>

namespace vantrel {

class Files {
  public:
    virtual ~Files() = default;
    // True for a normal file: not hidden, not a system file, not a folder.
    // False also when the folder is missing.
    virtual bool IsPlainFile(std::string_view path) = 0;
    // Throws Error when the file cannot be deleted.
    virtual void Delete(std::string_view path) = 0;
    // Replaces the file with one holding the text (UTF-8 in) in the system's
    // ANSI code page. A link at the name is replaced, never written through.
    // Throws Error when it cannot be written, or when the code page cannot
    // hold the text exactly.
    virtual void WriteNewAnsiTextFile(std::string_view path, std::string_view text) = 0;
    // Whether the system's ANSI code page holds every character of the text
    // as it is (no look-alike, no "?").
    virtual bool IsExactInAnsi(std::string_view text) = 0;
    // Deletes the copy of a file under a protected folder that the system's
    // file virtualization kept for this user (programs without a manifest
    // wrote there instead). True when there was one; throws Error when it
    // cannot be deleted.
    virtual bool RemoveVirtualStoreCopy(std::string_view path) = 0;
};

}  // namespace vantrel
