#include "platform/win32/Win32Platform.h"

#include "platform/Platform.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32Errors.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Power.h"
#include "platform/win32/Win32PowerPolicy.h"
#include "platform/win32/Win32PowerRequests.h"
#include "platform/win32/Win32ProcessList.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Screen.h"
#include "platform/win32/Win32Security.h"
#include "platform/win32/Win32Sessions.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32SharedMemory.h"
#include "platform/win32/Win32Sync.h"
#include "platform/win32/Win32SystemInfo.h"
#include "platform/win32/Win32TextViewer.h"
#include "platform/win32/Win32Threads.h"
#include "platform/win32/Win32VersionResources.h"
#include "platform/win32/Win32Windowing.h"

// Members are destroyed in the reverse order: the bundle first, the
// implementations after it.
struct cWin32Platform::cParts {
    cWin32Registry Registry;
    cWin32FileSystem Files;
    cWin32Clock Clock;
    cWin32Locale Locale;
    cWin32Synchronization Sync;
    cWin32SystemErrors Errors;
    cWin32Dialogs Dialogs;
    cWin32Windowing Windowing;
    cWin32Processes Processes;
    cWin32VersionResources Versions;
    cWin32SystemInfo System;
    cWin32Power Power;
    cWin32FileTimes FileTimes;
    cWin32PowerPolicy PowerPolicy;
    cWin32Security Security;
    cWin32SharedMemory SharedMemory;
    cWin32Sessions Sessions;
    cWin32ProcessList ProcessList;
    cWin32PowerRequests PowerRequests;
    cWin32Threads Threads;
    cWin32Shell Shell;
    cWin32Screen Screen;
    cWin32TextViewer Viewer;
    cPlatform Bundle{Registry,  Files,     Clock,    Locale, Sync,  Errors,   Dialogs,
                     Windowing, Processes, Versions, System, Power, FileTimes,
                     PowerPolicy, Security, SharedMemory, Sessions, ProcessList,
                     PowerRequests, Threads, Shell,
                     Screen, Viewer};
};

cWin32Platform::cWin32Platform() : Parts(std::make_unique<cParts>()) {}

cWin32Platform::~cWin32Platform() = default;

cPlatform& cWin32Platform::Get()
{
    return Parts->Bundle;
}
