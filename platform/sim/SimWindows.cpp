#include "platform/sim/SimWindows.h"

#include <cstdio>

cSimWindows::cSimWindows()
    : Platform{Registry_,  Files_,     Clock_,    Locale_, Sync_,  Errors_,   Dialogs_,
               Windowing_, Processes_, Versions_, System_, Power_, FileTimes_,
               PowerPolicy_, Security_, SharedMemory_, Sessions_, ProcessList_, PowerRequests_, Threads_, Shell_,
               Screen_, Viewer_}
{
    Processes_.AttachWindowing(Windowing_);
    // A successful sleep call puts the machine to sleep.
    PowerPolicy_.SetMachineSleep(&Sleep_);
    Security_.SetMachineSleep(&Sleep_);

    // Windows 7 Home Premium comes with Media Center.
    Files_.CreateDirectory("C:\\Windows");
    Files_.CreateDirectory("C:\\Windows\\ehome");
    Files_.WriteNewFile("C:\\Windows\\ehome\\ehshell.exe", "");
    // The simulated program carries the version of this build.
    unsigned major = 0, minor = 0, release = 0, build = 0;
    std::sscanf(SLH_VERSION_TEXT, "%u.%u.%u.%u", &major, &minor, &release, &build);
    Versions_.SetFileVersion(Files_.GetModuleFileName(), static_cast<uint16_t>(major), static_cast<uint16_t>(minor),
                             static_cast<uint16_t>(release), static_cast<uint16_t>(build));
}
