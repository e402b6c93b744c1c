#pragma once
// Window procedures and the Win32-style calls around them. Every window the framework knows (message
// windows, the application window, forms, the handles of windowed controls) is registered here with
// its procedure; the application's dispatch, SendMessage and PostMessage all go through this
// registry. Messages for a window that no longer exists are dropped.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/WinDefs.h"

namespace tv {

using TWndMethod = std::function<void(TMessage& Message)>;

// A hidden window (a platform message-only window) whose messages go to `proc`.
HWND AllocateHWnd(TWndMethod proc);
void DeallocateHWnd(HWND window);

// Calls the window's procedure directly and synchronously; 0 for an unknown window.
LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Queues the message for the window; false for an unknown window.
bool PostMessage(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// A message number for the name, the same for every caller of the process (0xC000..0xFFFF); 0 when
// the range is used up.
UINT RegisterWindowMessage(const std::string& name);
// The default answer to a message nobody handles.
LRESULT DefWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- the registry ------------------------------------------------------------------------------
// Handles that have no platform window (windowed controls) come from a separate range, so they never
// collide with platform handles.
constexpr HWND kVirtualHandleBase = 0x40000000u;

void RegisterWindowProc(HWND window, TWndMethod proc);
void UnregisterWindowProc(HWND window);
bool IsKnownWindow(HWND window);
// Allocates a handle for a window that exists only in the framework (no platform window).
HWND AllocateVirtualHandle(TWndMethod proc);

// Window-procedure interception (GetWindowLong / SetWindowLong with GWL_WNDPROC): the returned
// procedure is the one that was installed before; the new one usually passes messages on to it
// with CallWindowProc.
TWndMethod GetWindowProc(HWND window);
TWndMethod SetWindowProc(HWND window, TWndMethod proc);
LRESULT CallWindowProc(const TWndMethod& proc, HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// Delivers a message to the window's current procedure (what the loop does with a posted message).
void DispatchToWindow(HWND window, TMessage& message);

// ---- window state calls as the program uses them -------------------------------------------------
// The application window is a message-only platform window; its visibility is a flag kept here.
bool IsWindowVisible(HWND window);
bool ShowWindow(HWND window, int cmdShow);
bool IsIconic(HWND window);
bool SetForegroundWindow(HWND window);
HWND GetForegroundWindow();

}  // namespace tv
