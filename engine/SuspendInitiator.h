#pragma once
#include <atomic>
#include <memory>

#include "platform/Platform.h"

class cMessageLogger;
class cOSConfiguration;
class cVistaSuspendEngine;
class cWindowsVersion;

// Makes the sleep call on Vista and later on a thread of its own, so that
// the main thread is back in its message loop when Windows broadcasts the
// suspend of the sleep the call starts, and handles it there.
//
// Owned by cVistaSuspendEngine. SuspendSystem runs on the main thread; the
// thread shares with it only the standby flag (written before the thread is
// woken, read after its 100 ms wait), the OS configuration and the platform.
class cSuspendInitiator {
public:
    // Starts the thread, which waits until SuspendSystem wakes it. All
    // references must outlive the initiator.
    cSuspendInitiator(cPlatform& platform, cVistaSuspendEngine& engine, cOSConfiguration& osConfiguration,
                      cWindowsVersion& version, cMessageLogger& logger);
    // Ends the thread (a sleep call under way is waited for) and waits for it.
    ~cSuspendInitiator();
    cSuspendInitiator(const cSuspendInitiator&) = delete;
    cSuspendInitiator& operator=(const cSuspendInitiator&) = delete;

    // Has the thread put the machine into standby (true) or hibernation
    // 100 ms from now, unless a forced reboot due at the end of a non-user
    // wake takes the sleep's place. While the thread is already under way
    // only the state changes: a change during its wait counts for the
    // coming call, one during the call for the next request.
    void SuspendSystem(bool standby);

    // SetSystemPowerState (before Vista) instead of SetSuspendState.
    bool UsesLegacyCall() const { return UseLegacyCall_; }

private:
    // The thread's body.
    void Run();

    cPlatform& Platform;
    cVistaSuspendEngine& Engine;
    cOSConfiguration& OSConfiguration;
    cMessageLogger& Logger;
    bool UseLegacyCall_;
    std::atomic<bool> Standby{true};
    std::atomic<bool> Terminated{false};
    // Wake starts a round of the thread; Stop cuts its wait short at the end.
    std::unique_ptr<cThreadEvent> Wake;
    std::unique_ptr<cThreadEvent> Stop;
    std::unique_ptr<cThread> Thread;
};
