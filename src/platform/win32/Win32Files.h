#pragma once

#include <string>

#include "platform/Files.h"

namespace vantrel::win32 {

// Files through the wide API.
class Win32Files : public Files {
  public:
    bool IsPlainFile(std::string_view path) override;
    void Delete(std::string_view path) override;
    void WriteNewAnsiTextFile(std::string_view path, std::string_view text) override;
    bool IsExactInAnsi(std::string_view text) override;
    bool RemoveVirtualStoreCopy(std::string_view path) override;
};

// Renames the open file (opened with DELETE access) to the full path, replacing
// whatever is there: the file renamed is the one opened, whatever happened to
// its name meanwhile. False with the last error set when it cannot.
bool RenameOver(void* file, const std::wstring& target);

}  // namespace vantrel::win32
