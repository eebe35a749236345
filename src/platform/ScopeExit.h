#pragma once

#include <utility>

namespace vantrel {

// Runs a one-off cleanup when the scope ends, unless release() said the work
// is done and must stay ("commit, don't roll back").
template <typename F>
class [[nodiscard]] ScopeExit {
  public:
    explicit ScopeExit(F cleanup) : cleanup_(std::move(cleanup)) {}
    ~ScopeExit() {
        if (armed_)
            cleanup_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    void release() { armed_ = false; }

  private:
    F cleanup_;
    bool armed_ = true;
};

}  // namespace vantrel
