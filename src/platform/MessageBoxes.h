#pragma once

#include <string_view>

namespace vantrel {

enum class Modality { Application, System };

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // An OK-only box; returns when the user has closed it.
    virtual void Show(std::string_view text, std::string_view caption, Modality modality) = 0;
};

}  // namespace vantrel
