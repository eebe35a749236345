#pragma once

// Scratch state and small helpers shared by the Win32 tests. Each test owns
// what it creates here and removes it again, whatever the outcome.

#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/win32/Unicode.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Error.h"

namespace vantrel::testing {

constexpr DWORD kSentinel = 0xdeadbeef;

// "error 5 (Access is denied.)" for assertion messages.
inline std::string LastErrorText() {
    const DWORD code = GetLastError();
    wchar_t text[256] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, static_cast<DWORD>(std::size(text)), nullptr);
    std::string narrow = win32::Narrow(text);
    while (!narrow.empty() && (narrow.back() == '\n' || narrow.back() == '\r')) narrow.pop_back();
    return "error " + std::to_string(code) + " (" + narrow + ")";
}

// The system's code in the failure that `action` throws; nothing when it succeeds.
// A failure of another kind passes to the test.
template <typename Action>
std::optional<DWORD> Win32ErrorCode(Action&& action) {
    try {
        action();
    } catch (const win32::Win32Error& e) {
        return e.code();
    }
    return std::nullopt;
}

// A name nobody else uses: the process id and a counter.
inline std::wstring UniqueName(const wchar_t* stem) {
    static int counter = 0;
    return std::wstring(stem) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
}

// A fresh key path of its own under HKEY_CURRENT_USER\Software, deleted with
// everything in it; whoever uses it creates what it needs below.
class ScratchKey {
  public:
    ScratchKey() : path_(L"Software\\" + UniqueName(L"VantrelTest")) {}
    ~ScratchKey() { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;
    const std::wstring& path() const { return path_; }

  private:
    std::wstring path_;
};

// Deletes a folder and everything in it, read-only, hidden and system files included.
inline void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// A fresh folder under the temporary folder, removed with everything in it.
class ScratchFolder {
  public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + UniqueName(L"vantrel test");
        if (!CreateDirectoryW(path_.c_str(), nullptr))
            ADD_FAILURE() << "creating the scratch folder: " << LastErrorText();
    }
    ~ScratchFolder() { RemoveTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
    std::string Utf8(const std::wstring& name) const { return win32::Narrow(*this / name); }

  private:
    std::wstring path_;
};

inline std::string ReadBytes(const std::wstring& path) {
    const win32::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return "<cannot open: " + LastErrorText() + ">";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    return bytes;
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    const win32::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file) << LastErrorText();
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        << LastErrorText();
}

// Runs the thread's messages until `done` holds; gives up after `patience`.
// A bound against hanging, not a measurement.
inline bool PumpMessagesUntil(const std::function<bool()>& done,
                              std::chrono::milliseconds patience = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// A top-level window of a test class, destroyed with the object.
class TestWindow {
  public:
    explicit TestWindow(const std::wstring& title, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        WNDPROC proc = DefWindowProcW) {
        const std::wstring className = UniqueName(L"VantrelTestWindow");
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = className.c_str();
        atom_ = RegisterClassExW(&wc);
        EXPECT_NE(atom_, 0) << "RegisterClassExW: " << LastErrorText();
        SetLastError(kSentinel);
        window_.reset(CreateWindowExW(0, MAKEINTATOM(atom_), title.c_str(), style, 40, 40, 360, 200,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
        EXPECT_NE(window_.get(), nullptr) << "CreateWindowExW: " << LastErrorText();
    }
    ~TestWindow() {
        window_.reset();
        UnregisterClassW(MAKEINTATOM(atom_), GetModuleHandleW(nullptr));
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_.get(); }

  private:
    ATOM atom_ = 0;
    win32::UniqueHwnd window_;
};

}  // namespace vantrel::testing
