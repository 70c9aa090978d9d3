#pragma once
#include <cstdint>
#include <string>

#include "targets/TargetApplication.h"

// Start-page codes with a name of their own (the tray applet's navigation
// message carries the code as wParam).
constexpr int32_t SL_DEFAULT = 0;
constexpr int32_t SL_LIVETV = 1;
constexpr int32_t SL_TVGUIDE = 2;
constexpr int32_t SL_MYTV = 3;
constexpr int32_t SL_RECORDEDTV = 4;
constexpr int32_t SL_MYMUSIC = 5;
constexpr int32_t SL_MYPHOTOS = 6;
constexpr int32_t SL_RADIO = 9;

// The Media Center shell as a target. It is found by its render window,
// started after a wake through the tray applet's navigation message (the
// harmless stand-in, Notepad, directly), closed by WM_CLOSE when the close
// method asks for a window message, and never killed by the base's forced
// termination. Owned by the engine; main thread only.
class cTargetEhome : public cTargetApplication {
public:
    cTargetEhome(cPlatform& platform, cMessageLogger& logger, cWindowsVersion& version);

    std::string GetWindowClass() override;
    std::string GetExecutablePath() override;
    bool ResumeStart() override;
    bool Start() override { return ResumeStart(); }
    bool IsLogonStartRegistered() override;
    bool SetLogonStartRegistered(bool on) override;
    bool IsDeadlocked() override;
    void CloseByWmClose(WindowHandle window, uint32_t processId) override;

    // The flags of the last suspend query (bit 0: user interaction allowed).
    void SetQuerySuspendFlags(uint32_t flags) { QuerySuspendFlags = flags; }
    // The engine itself started the suspend.
    void SetSuspendInitiated(bool initiated) { SuspendInitiated = initiated; }
    // Starts the shell directly (the settings window's test page does too).
    bool StartEhome62();
    // The page to open at start; 0 while no start of Media Center is configured.
    int32_t GetStartPage();
    bool CanSetStartPage();
    // The pages offered: codes 0 to 9, and 12 and 13 on Media Center
    // releases after "3.0".
    int GetStartPageCount();
    // The code at index; 0 outside the list.
    int32_t GetStartPageCode(int index);
    static std::string GetStartPageName(int32_t code);

    cPersistentInteger StartPage;
    // How long the direct start waits for the window (ms).
    cPersistentInteger StartTimeout;
    // CloseByWmClose asks IsDeadlocked before it posts WM_CLOSE.
    cPersistentBool SmartWmClose;
    // CloseByWmClose always posts and does not wait.
    cPersistentBool SkipTerminate;
    // After a direct start the window is not brought to the front.
    cPersistentBool SkipRefocus;

private:
    std::string WindowsDirectory();
    void RefreshStartPageAvailability();
    void DelayStart();
    bool NavigateToPage();
    // The tray applet's window, started when missing; 0 when it fails.
    WindowHandle FindOrStartTrayApplet();
    bool SendNavigation(WindowHandle tray, uint32_t message, int32_t page, uintptr_t& answer);
    void TerminateByHandle(cProcess* process);

    uint32_t QuerySuspendFlags = 0;
    bool SuspendInitiated = false;
};
