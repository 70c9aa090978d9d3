#pragma once
// What this program relies on from Windows Media Center, in one place: the
// programs and window classes of the shell and its tray applet, the
// registered navigation message, the registry values, the services, and the
// layout of the block that the Media Center add-in publishes. A stand-in for
// Media Center must offer exactly these.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Files.h"

// The shell, in the Windows folder's "\ehome" folder. Media Center is
// installed exactly when this file exists.
constexpr const char* MC_SHELL_PROGRAM = "ehshell.exe";
// The shell's main window; it exists while the shell runs and closes on WM_CLOSE.
constexpr const char* MC_SHELL_WINDOW_CLASS = "eHome Render Window";
// The tray applet, in "\eHome"; its window appears within about 45 s of a start.
constexpr const char* MC_TRAY_PROGRAM = "ehTray.exe";
constexpr const char* MC_TRAY_WINDOW_CLASS = "Media Center Tray Applet";
// Registered window message sent to the tray applet's window: wParam the page
// code, lParam MC_NAVIGATE_LPARAM. A non-zero answer means the applet
// accepted; it starts the shell when needed and opens the page.
constexpr const char* MC_NAVIGATE_MESSAGE = "Media Center Navigate To Page";
constexpr intptr_t MC_NAVIGATE_LPARAM = 1;

// The per-user Run-key value that starts the shell at logon.
constexpr const char* MC_RUN_VALUE_NAME = "Windows Media Center";

// Paths under the Windows folder (given without a trailing backslash).
std::string MediaCenterShellPath(const std::string& windowsFolder);
std::string MediaCenterTrayPath(const std::string& windowsFolder);
// Media Center is installed: its shell exists in the Windows folder's "\ehome".
bool IsMediaCenterShellPresent(cFileSystem& files);
// The command of the Run-key value.
std::string MediaCenterRunCommand(const std::string& windowsFolder);

// Registry (HKEY_LOCAL_MACHINE). The identifier is a text such as "6.0".
constexpr const char* MEDIA_CENTER_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Media Center";
constexpr const char* MC_IDENT_VALUE = "Ident";
// Guide downloads: two 8-byte FILETIMEs, the last and the next download.
constexpr const char* MC_EPG_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Media Center\\Service\\EPG";
constexpr const char* MC_EPG_LAST_TIME_VALUE = "dlLastTime";
constexpr const char* MC_EPG_NEXT_TIME_VALUE = "dlRegTime";
// The background scanner honours PeriodicScanEnabled; the two halves form the
// UTC FILETIME of its last scan.
constexpr const char* MC_BACKGROUND_SCANNER_KEY =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Media Center\\Service\\BackgroundScanner";
constexpr const char* MC_PERIODIC_SCAN_ENABLED_VALUE = "PeriodicScanEnabled";
constexpr const char* MC_LAST_SCAN_LOW_VALUE = "LastPeriodicScanLowDateTime";
constexpr const char* MC_LAST_SCAN_HIGH_VALUE = "LastPeriodicScanHighDateTime";

// Services that can be restarted by name with net.exe.
constexpr const char* MC_RECEIVER_SERVICE = "Media Center Receiver Service";
constexpr const char* MC_SCHEDULER_SERVICE = "Media Center Scheduler-service";

// The add-in block: a named file mapping in the session's namespace holding
// 15 session records of 48 bytes, without header, version or count. Integers
// are little-endian; the bytes not named here belong to the add-in.
constexpr const char* MCSA_BLOCK_NAME = "slhmcsa";
constexpr int MCSA_RECORD_COUNT = 15;
constexpr size_t MCSA_RECORD_SIZE = 48;
constexpr size_t MCSA_BLOCK_SIZE = MCSA_RECORD_COUNT * MCSA_RECORD_SIZE;
constexpr size_t MCSA_OFFSET_IN_USE = 0;   // 1 byte: MCSA_IN_USE for a live session
constexpr size_t MCSA_OFFSET_STATE = 28;
constexpr size_t MCSA_OFFSET_DETAIL_A = 32;
constexpr size_t MCSA_OFFSET_DETAIL_B = 36;
constexpr size_t MCSA_OFFSET_PROGRESS = 44;  // changes while playback advances; 0 unknown
constexpr uint8_t MCSA_IN_USE = 1;

// Session states as the add-in reports them.
constexpr uint32_t MCSA_STATE_NONE = 0;          // idle unless the details say otherwise
constexpr uint32_t MCSA_STATE_STOPPED = 0x1000;
constexpr uint32_t MCSA_STATE_PLAYING = 0x1001;  // idle while the progress stands still
constexpr uint32_t MCSA_STATE_PAUSED = 0x1002;
constexpr uint32_t MCSA_STATE_ENDED = 0x1003;
constexpr uint32_t MCSA_STATE_RECORDING = 0x1006;  // a recording, not a viewer's session
constexpr uint32_t MCSA_STATE_MENU = 0x100F;
constexpr uint32_t MCSA_STATE_CLOSING = 0x1010;
// Details that make a session in MCSA_STATE_NONE busy: detail A alone, or
// detail A 0 with detail B.
constexpr uint32_t MCSA_DETAIL_A_BUSY = 0x202C;
constexpr uint32_t MCSA_DETAIL_B_BUSY = 0x202D;

// The fields of one record that this program reads.
struct cMcsaRecord {
    bool InUse = false;
    uint32_t State = 0;
    uint32_t DetailA = 0;
    uint32_t DetailB = 0;
    uint32_t Progress = 0;
};

// Record index of a block of size bytes. False, leaving record untouched,
// when the index is outside 0..14 or the record does not lie wholly within
// the block: nothing past size is ever read.
bool ReadMcsaRecord(const uint8_t* block, size_t size, int index, cMcsaRecord& record);
// The add-in's side, for stand-ins and tests: writes the named fields of the
// record (the in-use byte as MCSA_IN_USE or 0) and leaves the other bytes.
// False when the record does not fit.
bool WriteMcsaRecord(uint8_t* block, size_t size, int index, const cMcsaRecord& record);
