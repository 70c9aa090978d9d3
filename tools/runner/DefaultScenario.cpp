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

# The user watches television, then sends the machine to sleep.
+30m input
at 23:30:00 suspend
expect log "PBT_APMSUSPEND (Suspend from user interaction)"

# Windows wakes the machine for a guide download and sleeps again later.
at 02:00:00 wake automatic
expect log "PBT_APMRESUMEAUTOMATIC (Resume for automatic task"
at 02:20:00 suspend

# In the morning the user wakes the machine.
at 07:30:00 wake user
expect log "PBT_APMRESUMESUSPEND"
+10m input

# The engine is closed from its tray menu.
at 08:00:00 answer yes
exit
expect running no
expect log "Slumberhold/frontend closed."
)scenario";
