#pragma once
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FileTimes.h"
#include "platform/Files.h"
#include "platform/Power.h"
#include "platform/PowerPolicy.h"
#include "platform/ProcessList.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/Screen.h"
#include "platform/Security.h"
#include "platform/Sessions.h"
#include "platform/Shell.h"
#include "platform/SharedMemory.h"
#include "platform/Sync.h"
#include "platform/SystemInfo.h"
#include "platform/TextViewer.h"
#include "platform/Threads.h"
#include "platform/VersionResources.h"
#include "platform/Windowing.h"

// The Windows operations the logic may use, one interface per area. The
// backend (real Windows or the simulator) owns the implementations; they
// outlive every object that holds this bundle.
struct cPlatform {
    cRegistry& Registry;
    cFileSystem& Files;
    cClock& Clock;
    cLocale& Locale;
    cSynchronization& Sync;
    cSystemErrors& Errors;
    cDialogs& Dialogs;
    cWindowing& Windowing;
    cProcesses& Processes;
    cVersionResources& Versions;
    cSystemInfo& System;
    cPower& Power;
    cFileTimes& FileTimes;
    cPowerPolicy& PowerPolicy;
    cSecurity& Security;
    cSharedMemory& SharedMemory;
    cSessions& Sessions;
    cProcessList& ProcessList;
    cPowerRequests& PowerRequests;
    cThreads& Threads;
    cShell& Shell;
    cScreen& Screen;
    cTextViewer& Viewer;
};
