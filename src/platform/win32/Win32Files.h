#pragma once

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

}  // namespace vantrel::win32
