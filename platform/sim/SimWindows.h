#pragma once
#include "platform/Platform.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimPower.h"
#include "platform/sim/SimPowerPolicy.h"
#include "platform/sim/SimPowerRequests.h"
#include "platform/sim/SimProcessList.h"
#include "platform/sim/SimProcesses.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimScreen.h"
#include "platform/sim/SimSecurity.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimSessions.h"
#include "platform/sim/SimSharedMemory.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimSleep.h"
#include "platform/sim/SimTextViewer.h"
#include "platform/sim/SimThreads.h"
#include "platform/sim/SimWindowing.h"

// A whole simulated Windows machine: owns one simulated implementation of
// every platform area and hands them to the logic as a cPlatform. Tests and
// scenarios reach each area through the accessors to set it up and look at
// what the program did.
class cSimWindows {
public:
    cSimWindows();
    cSimWindows(const cSimWindows&) = delete;
    cSimWindows& operator=(const cSimWindows&) = delete;

    cPlatform& Get() { return Platform; }

    cSimClock& Clock() { return Clock_; }
    cSimRegistry& Registry() { return Registry_; }
    cSimFileSystem& Files() { return Files_; }
    cSimSynchronization& Sync() { return Sync_; }
    cSimSystemErrors& Errors() { return Errors_; }
    cSimDialogs& Dialogs() { return Dialogs_; }
    cSimWindowing& Windowing() { return Windowing_; }
    cSimProcesses& Processes() { return Processes_; }
    cSimVersionResources& Versions() { return Versions_; }
    cSimSystemInfo& System() { return System_; }
    cSimPower& Power() { return Power_; }
    cSimFileTimes& FileTimes() { return FileTimes_; }
    cSimPowerPolicy& PowerPolicy() { return PowerPolicy_; }
    cSimSecurity& Security() { return Security_; }
    cSimSharedMemory& SharedMemory() { return SharedMemory_; }
    cSimSessions& Sessions() { return Sessions_; }
    cSimProcessList& ProcessList() { return ProcessList_; }
    cSimPowerRequests& PowerRequests() { return PowerRequests_; }
    cSimThreads& Threads() { return Threads_; }
    cSimShell& Shell() { return Shell_; }
    cSimScreen& Screen() { return Screen_; }
    cSimTextViewer& Viewer() { return Viewer_; }
    // The machine's sleeps, started by the simulated sleep functions.
    cSimSleep& Sleep() { return Sleep_; }

private:
    cSimClock Clock_;
    cSimLocale Locale_;
    cSimRegistry Registry_;
    cSimFileSystem Files_;
    cSimSynchronization Sync_{Clock_};
    cSimSystemErrors Errors_;
    cSimDialogs Dialogs_;
    cSimWindowing Windowing_{Clock_};
    cSimProcesses Processes_{Clock_, Files_, Errors_};
    cSimVersionResources Versions_;
    cSimSystemInfo System_;
    cSimPower Power_{Clock_};
    cSimFileTimes FileTimes_;
    cSimPowerPolicy PowerPolicy_{Errors_};
    cSimSecurity Security_{Errors_};
    cSimSharedMemory SharedMemory_;
    cSimSessions Sessions_{Clock_};
    cSimProcessList ProcessList_;
    cSimPowerRequests PowerRequests_;
    cSimThreads Threads_{Clock_, Windowing_};
    cSimShell Shell_;
    cSimScreen Screen_{Windowing_, Threads_};
    cSimTextViewer Viewer_;
    cSimSleep Sleep_{Clock_, Windowing_, Power_};
    cPlatform Platform;
};
