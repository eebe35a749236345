#pragma once

#include <windows.h>

#include <utility>

#include "platform/win32/LastErrorKeeper.h"

namespace vantrel::win32 {

// A move-only owner of one handle. The policy names the handle type, its
// closer and its empty value, so call sites never compare against a sentinel.
// Closing keeps GetLastError, so cleanup never hides the error being reported.
template <typename Policy>
class UniqueHandle {
  public:
    using Handle = typename Policy::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o)
            reset(o.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const { return h_; }
    Handle* put() {
        reset();
        return &h_;
    }
    Handle release() { return std::exchange(h_, Policy::Empty()); }
    void reset(Handle h = Policy::Empty()) {
        if (h_ != Policy::Empty()) {
            const LastErrorKeeper keep;
            Policy::Close(h_);
        }
        h_ = h;
    }
    explicit operator bool() const { return h_ != Policy::Empty(); }

  private:
    Handle h_ = Policy::Empty();
};

// Handles whose empty value is null.
template <typename H, auto CloseFunction>
struct NullHandlePolicy {
    using Handle = H;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { CloseFunction(h); }
};

// CreateFileW reports failure as INVALID_HANDLE_VALUE, not null.
struct FileHandlePolicy {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { CloseHandle(h); }
};

using UniqueHkey = UniqueHandle<NullHandlePolicy<HKEY, RegCloseKey>>;
using UniqueHandleObj = UniqueHandle<NullHandlePolicy<HANDLE, CloseHandle>>;
using UniqueFile = UniqueHandle<FileHandlePolicy>;
using UniqueHwnd = UniqueHandle<NullHandlePolicy<HWND, DestroyWindow>>;
using UniqueHmenu = UniqueHandle<NullHandlePolicy<HMENU, DestroyMenu>>;
using UniqueHicon = UniqueHandle<NullHandlePolicy<HICON, DestroyIcon>>;
using UniqueHglobal = UniqueHandle<NullHandlePolicy<HGLOBAL, GlobalFree>>;
using UniqueHfont = UniqueHandle<NullHandlePolicy<HFONT, DeleteObject>>;
// What the system allocated for the caller with LocalAlloc (strings, descriptors).
using UniqueHlocal = UniqueHandle<NullHandlePolicy<HLOCAL, LocalFree>>;

// The two handles CreateProcess hands back, owned from the moment it fills
// them in (put()), so no failure between the call and their use leaks one.
class UniqueProcessInformation {
  public:
    UniqueProcessInformation() = default;
    UniqueProcessInformation(const UniqueProcessInformation&) = delete;
    UniqueProcessInformation& operator=(const UniqueProcessInformation&) = delete;
    ~UniqueProcessInformation() { reset(); }

    PROCESS_INFORMATION* put() {
        reset();
        return &info_;
    }
    const PROCESS_INFORMATION& get() const { return info_; }
    void reset() {
        const UniqueHandleObj thread(std::exchange(info_.hThread, nullptr));
        const UniqueHandleObj process(std::exchange(info_.hProcess, nullptr));
    }

  private:
    PROCESS_INFORMATION info_{};
};

}  // namespace vantrel::win32
