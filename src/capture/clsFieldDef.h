#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// One index field of the imaging application and the text last captured for it.
// The mouse coordinates are kept for callers; nothing here uses them.
class clsFieldDef {
public:
    std::string Field() const { return field_; }
    void Field(const std::string& vData) { field_ = vData; }
    std::string value() const { return value_; }
    void value(const std::string& vData) { value_ = vData; }
    void MouseYEnd(std::int32_t vData) { mouseYEnd_ = vData; }
    std::int32_t MouseYEnd() const { return mouseYEnd_; }
    void MouseYStart(std::int32_t vData) { mouseYStart_ = vData; }
    std::int32_t MouseYStart() const { return mouseYStart_; }
    void MouseXEnd(std::int32_t vData) { mouseXEnd_ = vData; }
    std::int32_t MouseXEnd() const { return mouseXEnd_; }
    void MouseXStart(std::int32_t vData) { mouseXStart_ = vData; }
    std::int32_t MouseXStart() const { return mouseXStart_; }

private:
    std::int32_t mouseXStart_ = 0;
    std::int32_t mouseXEnd_ = 0;
    std::int32_t mouseYStart_ = 0;
    std::int32_t mouseYEnd_ = 0;
    std::string value_;
    std::string field_;
};

}  // namespace vantrel
