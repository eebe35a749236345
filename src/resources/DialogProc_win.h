#pragma once

// One dialog procedure for the program's dialogs: the per-dialog state rides
// in the window from WM_INITDIALOG on, and every message runs in the handler
// its "error in" box names, with no failure unwinding into the dialog manager.

#include <windows.h>

#include "platform/ErrorBox.h"

namespace vantrel::win32 {

// State is the dialog's state, with
//   HWND hwnd;                                          set at WM_INITDIALOG
//   Handler Where(UINT message, WPARAM wParam) const;  the handler of a message
//   INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
// The state is passed as the dialog's creation parameter. It is detached from
// the window before WM_NCDESTROY reaches OnMessage, which may end it there.
template <typename State>
INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (message == WM_INITDIALOG) {
        state = reinterpret_cast<State*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        state->hwnd = hwnd;
    }
    if (state == nullptr)
        return FALSE;
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    INT_PTR result = TRUE;  // a failed message counts as handled
    RunHandler(state->Where(message, wParam),
               [&] { result = state->OnMessage(message, wParam, lParam); });
    return result;
}

}  // namespace vantrel::win32
