#include "capture/colFields.h"

#include <algorithm>
#include <cctype>

#include "platform/Error.h"

namespace vantrel {

namespace {

bool SameKey(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::shared_ptr<clsFieldDef> colFields::Add(const std::string& name, const std::string& key) {
    auto field = std::make_shared<clsFieldDef>();
    field->Field(name);
    if (key.empty()) {
        items_.push_back({std::nullopt, field});
        return field;
    }
    const bool taken = std::any_of(items_.begin(), items_.end(),
                                   [&](const Entry& e) { return e.key && SameKey(*e.key, key); });
    if (taken)
        throw Error("This key is already associated with an element of this collection: \"" + key +
                    "\"");
    items_.push_back({key, field});
    return field;
}

std::size_t colFields::IndexOf(std::int32_t position) const {
    if (position < 1 || position > Count())
        throw Error("Subscript out of range: the field collection has no item " +
                    std::to_string(position));
    return static_cast<std::size_t>(position - 1);
}

std::size_t colFields::IndexOf(std::string_view key) const {
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [&](const Entry& e) { return e.key && SameKey(*e.key, key); });
    if (it == items_.end())
        throw Error("Invalid procedure call or argument: the field collection has no item \"" +
                    std::string(key) + "\"");
    return static_cast<std::size_t>(it - items_.begin());
}

std::shared_ptr<clsFieldDef> colFields::Item(std::int32_t position) const {
    return items_[IndexOf(position)].field;
}

std::shared_ptr<clsFieldDef> colFields::Item(std::string_view key) const {
    return items_[IndexOf(key)].field;
}

void colFields::Remove(std::int32_t position) {
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(IndexOf(position)));
}

void colFields::Remove(std::string_view key) {
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(IndexOf(key)));
}

}  // namespace vantrel
