#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "foundation/PersistentVariables.h"
#include "platform/Platform.h"

class cMessageLogger;
class cWindowsVersion;

// Start modes (the _StopStartMode setting).
constexpr int32_t SM_RESTART_IF_RUNNING = 0;  // stop; start again only if it was running
constexpr int32_t SM_ALWAYS_START = 1;
constexpr int32_t SM_NEVER_START = 2;
constexpr int32_t SM_JUMP_TO_PAGE = 3;  // leave it running; navigate to the start page at resume
constexpr int32_t SM_DO_NOTHING = 4;

// Close methods (the _CloseMethod setting); any other value closes by the
// terminate signal.
constexpr int32_t CM_TERMINATE_SIGNAL = 0;
constexpr int32_t CM_USER_SIMULATION_OR_SIGNAL = 1;
constexpr int32_t CM_WM_CLOSE = 257;
constexpr int32_t CM_USER_SIMULATION = 258;
constexpr int32_t CM_NONE = 260;

// StartIfNeeded's answers.
constexpr int TARGET_NOT_NEEDED = 1;
constexpr int TARGET_STARTED = 2;
constexpr int TARGET_START_FAILED = -1;

// A media front-end that must not run while the machine sleeps. Holds the
// per-target settings (the target's name followed by a suffix), decides
// from the start mode whether it is stopped at suspend and started at
// resume, closes it by its close method within the close timeout, and keeps
// whether it ran across a forced reboot.
//
// Owned by the engine; every operation runs on the main thread, and the
// close methods block it until the target has gone or the timeout passed.
class cTargetApplication {
public:
    // The platform, logger and version must outlive the target.
    cTargetApplication(cPlatform& platform, cMessageLogger& logger, cWindowsVersion& version,
                       const std::string& name);
    virtual ~cTargetApplication() = default;
    cTargetApplication(const cTargetApplication&) = delete;
    cTargetApplication& operator=(const cTargetApplication&) = delete;

    // The class of the target's main window.
    virtual std::string GetWindowClass() = 0;
    // Full path of the program to start.
    virtual std::string GetExecutablePath() = 0;
    // A window of the target's class exists.
    virtual bool IsRunning();
    // Starts the target after a wake; true on success.
    virtual bool ResumeStart() = 0;
    virtual bool Start();
    // Closes the target's window by the close method; hibernating tells
    // that the machine is about to hibernate.
    virtual void Close(WindowHandle window, uint32_t processId, bool hibernating);
    // TARGET_NOT_NEEDED, TARGET_STARTED or TARGET_START_FAILED.
    virtual int StartIfNeeded();
    virtual bool MustStopAtSuspend();
    virtual bool MustStartAtResume();
    // The running state around a forced reboot (per-user values).
    virtual void SaveRunningState();
    virtual void RestoreRunningState();
    virtual void ClearRunningState();
    // Kills the process when that is allowed for this target; process may be
    // null (it could not be opened).
    virtual void TerminateTarget(cProcess* process);
    virtual void BoostPriority(cProcess* process);
    // The front-end's own start at logon (its per-user Run-key entry).
    virtual bool IsLogonStartRegistered() = 0;
    virtual bool SetLogonStartRegistered(bool on) = 0;
    // Would a window message to the target hang the suspend?
    virtual bool IsDeadlocked() { return false; }
    virtual void CloseByWmClose(WindowHandle window, uint32_t processId) = 0;
    virtual void CloseByUserSimulation(WindowHandle window, uint32_t processId);
    virtual void CloseByTerminateSignal(WindowHandle window, uint32_t processId);

    bool IsInstalled() const { return Installed; }
    bool GetWasRunningAtSuspend() const { return WasRunningAtSuspend; }
    void SetWasRunningAtSuspend(bool running) { WasRunningAtSuspend = running; }
    int32_t GetStartMode() const { return StopStartMode; }
    const std::string& GetName() const { return Name; }

    // Replace the real front-end by a harmless stand-in, for testing.
    cPersistentBool FakeTarget;
    // Start the target when the engine starts after logon.
    cPersistentBool StartAtBoot;
    // Milliseconds to wait before each start.
    cPersistentInteger StartDelay;
    cPersistentInteger CloseMethod;
    // SM_*; reads SM_DO_NOTHING while disabled.
    cPersistentInteger StopStartMode;

protected:
    // Opens the target's process for waiting, terminating and its priority;
    // null when that is refused (logged with failureText after the name).
    std::unique_ptr<cProcess> OpenTarget(uint32_t processId, const std::string& failureLine);
    // Waits until some window is the foreground window, at most until the
    // deadline tick; true when one is.
    bool WaitForForegroundWindow(uint32_t start, uint32_t limit);
    // "(Handle=" + window + " ProcessId=" + process id + ")", both as 8 hex digits.
    static std::string HandleAndProcess(WindowHandle window, uint32_t processId);
    // The process ended within timeout ms (a null process never does).
    static bool WaitForTarget(cProcess* process, int64_t timeout);

    cPlatform& Platform;
    cMessageLogger& Logger;
    cWindowsVersion& Version;
    // Milliseconds a close request may take.
    uint32_t CloseTimeout = 0;
    // TerminateTarget may kill the process.
    bool TerminateAllowed = false;
    // The front-end exists on this machine (or its stand-in replaces it).
    bool Installed = false;

private:
    // Makes the window the foreground window within the close timeout
    // counted from start; true when it is.
    bool BringToFront(WindowHandle window, uint32_t start);
    void SendChord(uint16_t key);

    bool WasRunningAtSuspend = false;
    const std::string Name;
};
