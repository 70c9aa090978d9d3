#pragma once
// Windows numbers the logic speaks in, under their Windows names. The logic
// never includes <windows.h>; code in platform/win32/ never includes this.
#include <cstdint>

// Messages.
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUERYENDSESSION = 0x0011;
constexpr uint32_t WM_ENDSESSION = 0x0016;
constexpr uint32_t WM_TIMER = 0x0113;
constexpr uint32_t WM_POWERBROADCAST = 0x0218;
constexpr uint32_t WM_WTSSESSION_CHANGE = 0x02B1;
constexpr uint32_t WM_USER = 0x0400;

// SetWindowPos flags.
constexpr uint32_t SWP_NOSIZE = 0x0001;
constexpr uint32_t SWP_NOMOVE = 0x0002;
constexpr uint32_t SWP_FRAMECHANGED = 0x0020;

// Message boxes.
constexpr uint32_t MB_OK = 0x0000;
constexpr uint32_t MB_YESNO = 0x0004;
constexpr uint32_t MB_ICONERROR = 0x0010;
constexpr uint32_t MB_ICONQUESTION = 0x0020;
constexpr uint32_t MB_ICONWARNING = 0x0030;
constexpr uint32_t MB_ICONINFORMATION = 0x0040;
constexpr uint32_t MB_SYSTEMMODAL = 0x1000;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Menus and mouse events of the notification-area icon.
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONUP = 0x0205;

// The notification area (Shell_NotifyIcon).
constexpr uint32_t NIM_ADD = 0;
constexpr uint32_t NIM_MODIFY = 1;
constexpr uint32_t NIM_DELETE = 2;
constexpr uint32_t NIM_SETVERSION = 4;
constexpr uint32_t NIF_MESSAGE = 0x01;
constexpr uint32_t NIF_ICON = 0x02;
constexpr uint32_t NIF_TIP = 0x04;
constexpr uint32_t NIF_INFO = 0x10;
constexpr uint32_t NOTIFYICON_VERSION = 3;
constexpr uint32_t NIIF_WARNING = 2;
constexpr uint32_t NIIF_ERROR = 3;

// Execution-state flags (SetThreadExecutionState, SystemExecutionState).
constexpr uint32_t ES_SYSTEM_REQUIRED = 0x00000001;
constexpr uint32_t ES_DISPLAY_REQUIRED = 0x00000002;
