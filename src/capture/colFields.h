#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/clsFieldDef.h"

namespace vantrel {

// Field definitions in the order they were added, by position from 1 or by an
// optional text key (compared without regard to letter case). Items are
// shared: a change made through a returned definition is seen by every holder.
class colFields {
  public:
    // An empty key adds the item without one. Throws Error for a key that
    // another item already carries; nothing is added then.
    std::shared_ptr<clsFieldDef> Add(const std::string& name, const std::string& key);
    // Throw Error for a position outside 1..Count or an unknown key.
    std::shared_ptr<clsFieldDef> Item(std::int32_t position) const;
    std::shared_ptr<clsFieldDef> Item(std::string_view key) const;
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    void Remove(std::int32_t position);
    void Remove(std::string_view key);

  private:
    struct Entry {
        std::optional<std::string> key;
        std::shared_ptr<clsFieldDef> field;
    };
    std::size_t IndexOf(std::int32_t position) const;
    std::size_t IndexOf(std::string_view key) const;
    std::vector<Entry> items_;
};

}  // namespace vantrel
