#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// One index field of the imaging application and the text last captured for it.
// The mouse coordinates are kept for callers; nothing here uses them.
class clsFieldDef {
  public:
    std::string Field() const { return field_; }
    void Field(const std::string& value) { field_ = value; }
    std::string value() const { return value_; }
    void value(const std::string& text) { value_ = text; }
    void MouseYEnd(std::int32_t value) { mouseYEnd_ = value; }
    std::int32_t MouseYEnd() const { return mouseYEnd_; }
    void MouseYStart(std::int32_t value) { mouseYStart_ = value; }
    std::int32_t MouseYStart() const { return mouseYStart_; }
    void MouseXEnd(std::int32_t value) { mouseXEnd_ = value; }
    std::int32_t MouseXEnd() const { return mouseXEnd_; }
    void MouseXStart(std::int32_t value) { mouseXStart_ = value; }
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
