#include "tools/runner/Scenario.h"

const char* const DEFAULT_SCENARIO = R"scenario(# A night on a home-theatre PC with Windows 7 Media Center.
clock 2026-12-09 21:00:00
set HKLM LogMode 1
set HKLM LogPath "C:\Slumberhold Logs"
set HKLM SleepState 4

# The engine starts with the user's logon.
start ENGINE
expect title "Slumberhold - Engine mode"
expect log "Initialisation done"
expect log "cSuspendInitiator - UseLegacyCall_ == false"

# The user watches television until half past eleven and goes to bed. The
# evening ends with a sleep request; Windows will wake the machine at two
# for the guide download.
+30m input
at 23:30:00 input
nextwake automatic 02:00:00
at 23:45:00 request suspend
expect log "cSuspendInitiator - SuspendSystem()"
+1s expect log "PBT_APMSUSPEND (Suspend from user interaction)"
expect log "PBT_APMRESUMEAUTOMATIC (Resume for automatic task"
expect setting HKCU AutoTasksEnabled 1

# The download needs no watching: once the wake has been idle long enough
# the engine sends the machine back to sleep, until the user wakes it in the
# morning.
nextwake user 07:30:00
+10m expect log "Automatic-resume idle period detected"
expect log "PBT_APMSUSPEND (Suspend from automatic-resume)"
expect log "PBT_APMRESUMESUSPEND (Start user interaction)"
expect asleep no
+10m input

# The engine is closed from its tray menu.
at 08:00:00 answer yes
exit
expect running no
expect log "Slumberhold/frontend closed."
)scenario";
