#pragma once
#include <string>

#include "foundation/PersistentVariables.h"
#include "platform/Platform.h"

class cMessageLogger;

// Disable reason of FPManager_KillAtResume: no front panel manager was ever
// found on this machine.
constexpr uint32_t FP_MANAGER_NOT_INSTALLED = 0x08000000;

// The front panel manager of some Media Center cases (FPManager.exe), which
// can hang the front panel after a standby. When the user asks for it, the
// engine ends the program at every resume; Windows or the case's own
// software start it again. Owned by the engine; main thread only.
class cFpManager {
public:
    // Looks for the program in its two install folders.
    cFpManager(cPlatform& platform, cMessageLogger& logger);
    ~cFpManager();
    cFpManager(const cFpManager&) = delete;
    cFpManager& operator=(const cFpManager&) = delete;

    // Notices a running front panel manager by its window and makes the
    // kill setting available once the program was seen.
    void RefreshInstalled();
    // After the engine restored the front-ends at a resume.
    void OnResume();
    // Ends every FPManager.exe (taskkill) and logs the exit code.
    void KillFpManager();
    // The FPManager.exe found on disk; empty when none.
    const std::string& GetExecutablePath() const { return ExecutablePath; }

    // Remembered across runs: once found, the program counts as installed.
    cPersistentBool FPManager_IsInstalled;
    cPersistentBool FPManager_KillAtResume;

private:
    cPlatform& Platform;
    cMessageLogger& Logger;
    std::string ExecutablePath;
};
