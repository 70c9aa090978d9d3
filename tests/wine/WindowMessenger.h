#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Wine.h"

// A top-level window named by class and title, as FindWindow takes them.
struct cWindowName {
    std::string Class;
    std::string Title;
};

// Reaches windows of the programs in the prefix through slhmsg.exe, which
// runs in the prefix beside them. Every call has a time limit.
class cWindowMessenger {
public:
    cWindowMessenger(const cWine& wine, std::string slhmsgPath);

    bool WaitUntilPresent(const cWindowName& window, std::chrono::milliseconds timeout) const;
    bool WaitUntilGone(const cWindowName& window, std::chrono::milliseconds timeout) const;
    // The window procedure's result; nothing when the window is missing or
    // did not answer in time.
    std::optional<int64_t> Send(const cWindowName& window, uint32_t message, uint64_t wParam = 0,
                                int64_t lParam = 0) const;
    bool Post(const cWindowName& window, uint32_t message, uint64_t wParam = 0, int64_t lParam = 0) const;
    // WM_POWERBROADCAST with PBT_POWERSETTINGCHANGE and a power-setting
    // record in the window's process: the setting's GUID
    // ("{98A7F580-...}") and the data bytes as hexadecimal digits in memory
    // order ("01000000" is the DWORD 1; "" gives a record without data).
    // The result as for Send.
    std::optional<int64_t> SendPowerSetting(const cWindowName& window, const std::string& guid,
                                            const std::string& hexData) const;
    // The same message with a null lParam instead of a record.
    std::optional<int64_t> SendNullPowerSetting(const cWindowName& window) const;
    std::optional<bool> IsVisible(const cWindowName& window) const;
    // The window stays above all windows that are not topmost.
    std::optional<bool> IsTopmost(const cWindowName& window) const;
    std::optional<std::string> Title(const cWindowName& window) const;

private:
    // A command that prints 1 or 0.
    std::optional<bool> ReadFlag(const cWindowName& window, const std::string& command) const;
    std::optional<int64_t> RunForResult(const cWindowName& window, std::vector<std::string> command) const;
    cRunResult Run(const cWindowName& window, std::vector<std::string> command,
                   std::chrono::milliseconds timeout) const;

    const cWine& Wine;
    std::string SlhmsgPath;
};
