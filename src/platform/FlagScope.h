#pragma once

namespace vantrel {

// Sets a flag for a scope and clears it however the scope is left, so that a
// failure cannot leave it set for good.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
};

}  // namespace vantrel
