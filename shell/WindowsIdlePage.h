#pragma once
#include <cstdint>
#include <memory>
#include <string>

struct cPlatform;
class cPowerLibrary;
class cOSConfiguration;
class cMessageLogger;
class cPersistentBool;
class cStatusDisplay;

// The Windows idle page: what Windows' own idle detection sees, once per
// second in the configurator role, and the same figures in the log when
// LogWindowsIdleDetails is on. Windows is asked quietly: a failed read (a
// system without these levels) leaves the page as it was rather than showing
// a message box every second.
class cWindowsIdlePage {
public:
    cWindowsIdlePage(cPlatform& platform, cOSConfiguration& osConfiguration, cMessageLogger& logger,
                     cPersistentBool& logDetails);
    ~cWindowsIdlePage();
    cWindowsIdlePage(const cWindowsIdlePage&) = delete;
    cWindowsIdlePage& operator=(const cWindowsIdlePage&) = delete;

    // userText: the time since the last user input, h:mm.ss.
    void Refresh(cStatusDisplay& display, const std::string& userText);

private:
    cOSConfiguration& OSConfiguration;
    cMessageLogger& Logger;
    cPersistentBool& LogDetails;
    // Null when powrprof.dll cannot be loaded: the page then stays as it is.
    std::unique_ptr<cPowerLibrary> PowerLibrary;
};
