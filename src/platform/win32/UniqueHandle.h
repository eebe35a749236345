#pragma once

#include <windows.h>

#include <utility>

namespace vantrel::win32 {

// A move-only owner of one handle; the closer and the empty value are part of the type.
// Closing keeps GetLastError, so cleanup never hides the error being reported.
template <typename H, auto Close, H Empty = H{}>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Empty)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Empty));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    H get() const { return h_; }
    H* put() {
        reset();
        return &h_;
    }
    H release() { return std::exchange(h_, Empty); }
    void reset(H h = Empty) {
        if (h_ != Empty) {
            const DWORD saved = GetLastError();
            Close(h_);
            SetLastError(saved);
        }
        h_ = h;
    }
    explicit operator bool() const { return h_ != Empty; }

private:
    H h_ = Empty;
};

using UniqueHkey = UniqueHandle<HKEY, RegCloseKey>;
using UniqueHandleObj = UniqueHandle<HANDLE, CloseHandle>;
using UniqueHwnd = UniqueHandle<HWND, DestroyWindow>;
using UniqueHmenu = UniqueHandle<HMENU, DestroyMenu>;
using UniqueHicon = UniqueHandle<HICON, DestroyIcon>;
using UniqueHglobal = UniqueHandle<HGLOBAL, GlobalFree>;

}  // namespace vantrel::win32
