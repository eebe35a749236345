#pragma once

#include <cstdint>
#include <functional>

#include "platform/Types.h"

// The main window's replacement procedure: a hotkey message turns into one
// capture-and-dispatch cycle, and every message goes on to the procedure that
// was installed before.
namespace vantrel::modHotKey {

// Install and remove the replacement. Each shows its own failure in a box.
void Hook(WindowHandle hwnd);
void Unhook(WindowHandle hwnd);

std::intptr_t WindowProc(WindowHandle hwnd, std::uint32_t msg, std::uintptr_t wParam,
                         std::intptr_t lParam);

// Makes the press under way, if any, come to nothing: no key more is sent,
// nothing is handed on, and its wait for the key's release ends.
void AbandonPress();

// Runs `action` now when no press is under way, else once the press under way
// has ended, so that the press finishes with what it started with.
void AfterPress(std::function<void()> action);

// How WindowProc learns the main window's handle; asked on every message.
void SetMainWindow(std::function<WindowHandle()> handleOfMainWindow);

// Forgets the saved procedure and the main window (tests only).
void Reset();

}  // namespace vantrel::modHotKey
