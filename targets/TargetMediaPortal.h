#pragma once
#include <string>

#include "targets/TargetApplication.h"

// MediaPortal as a target. Its program directory comes from the registry
// places its installer writes (or the Program Files folder), its main window
// is recognised by class and title, it is started directly and waited for,
// and, unlike Media Center, it may be killed when it does not close within
// its close timeout. With the fake target on, WordPad stands in for it.
// Owned by the engine; main thread only.
class cTargetMediaPortal : public cTargetApplication {
public:
    cTargetMediaPortal(cPlatform& platform, cMessageLogger& logger, cWindowsVersion& version);

    std::string GetWindowClass() override;
    std::string GetExecutablePath() override;
    bool ResumeStart() override;
    bool Start() override { return StartProcess(); }
    bool IsLogonStartRegistered() override;
    bool SetLogonStartRegistered(bool on) override;
    void CloseByWmClose(WindowHandle window, uint32_t processId) override;
    // Starts the program, waits up to StartTimeout for its main window and
    // makes the window topmost. True once the program runs, also when its
    // window was not found.
    virtual bool StartProcess();

    // Looked up afresh on every call, so a changed registry value counts at once.
    std::string GetInstallDirectory();
    // Sets the installed flag when a trace of MediaPortal is found; never
    // clears it.
    void DetectInstalled();
    // The directory located by hand becomes the program directory
    // (HKLM, so administrator rights are needed); false when it could not
    // be written.
    bool SetInstallDirectory(const std::string& directory);

    // How long StartProcess waits for the main window (ms).
    cPersistentInteger StartTimeout;

private:
    void DelayStart();
    // The window of the class as the search last saw it: 0 when there was none.
    WindowHandle SearchMainWindow();
};
