#include "tools/runner/Scenario.h"

const char* const DEFAULT_SCENARIO = R"scenario(# A night on a home-theatre PC with Windows 7 Media Center.
clock 2026-12-09 21:00:00
set HKLM LogMode 1
set HKLM LogPath "C:\Slumberhold Logs"
set HKLM SleepState 4
reg HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion" ProductName "Windows 7 Home Premium"
reg HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion" CurrentVersion "6.1"
reg HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion" CurrentBuildNumber "7601"
reg HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion" CSDVersion "Service Pack 1"
reg HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion" RegisteredOwner "htpc"
reg HKLM "SYSTEM\CurrentControlSet\Control\ComputerName\ComputerName" ComputerName "HTPC"
reg HKLM "HARDWARE\DESCRIPTION\System\CentralProcessor\0" ProcessorNameString "   Intel(R) Core(TM)2 Duo CPU     E8400  @ 3.00GHz"
reg HKLM "HARDWARE\DESCRIPTION\System\CentralProcessor\0" ~MHz 2993
reg HKLM "SOFTWARE\Microsoft\Windows\CurrentVersion\Media Center" Ident "6.0"
set HKLM RebootMode 0    # no forced reboots on this machine

# Media Center opens the television guide when the user comes back.
set HKLM eHome_StartPage 2

# The engine starts with the user's logon; Media Center's tray applet runs.
mctray start
start ENGINE
expect title "Slumberhold - Engine mode"
expect log "Windows                 : Windows 7 Home Premium"
expect log "Processor               : Intel(R) Core(TM)2 Duo CPU     E8400  @ 3.00GHz"
expect log "Initialisation done"
expect log "cSuspendInitiator - UseLegacyCall_ == false"

# The user watches television in Media Center, full screen, until half past
# eleven; the add-in reports the playing session.
+5m mcwindow open
mcsession 1 state=Playing progress=running
+25m input
at 23:30:00 input

# Then the user stops the film and goes to bed, leaving Media Center open.
# The evening ends with a sleep request; before the machine sleeps the
# engine closes Media Center: taskkill asks it to close, and it is gone a
# moment later. Windows will wake the machine at two for a recording.
mcsession 1 end
nextwake automatic 02:00:00
at 23:45:00 request suspend
expect log "cSuspendInitiator - SuspendSystem()"
+1s expect log "PBT_APMSUSPEND (Suspend from user interaction)"
expect log "eHome is running, closing by sending terminate signal"
expect log "Close request successfully finished"
expect mcwindow closed
expect log "PBT_APMRESUMEAUTOMATIC (Resume for automatic task"
expect setting HKCU AutoTasksEnabled 1

# Nobody is watching: the recording wake leaves Media Center closed.
expect mcwindow closed
expect mcpages none

# A minute after the wake Media Center starts recording a film, for half
# an hour.
at 02:01:00 recording start 1
+1s expect log "Number of active recordings: 1"
at 02:31:00 recording end 1

# Another recording could follow within 30 s. Then nothing needs the machine
# any more, and the engine sends it back to sleep until the morning.
+30s expect nolog "Automatic-resume idle period detected"
+1s expect log "Automatic-resume idle period detected"
expect log "PBT_APMSUSPEND (Suspend from automatic-resume)"
expect asleep yes

# The user wakes the machine at half past seven. Media Center was running
# when the evening ended, so the engine starts it again through its tray
# applet, on the guide, while the screen is blanked.
at 07:30:00 wake user
expect log "PBT_APMRESUMESUSPEND (Start user interaction)"
expect log "RestoreTargets()"
expect log "Start at / Move to selected page"
expect mcpages 2
expect mcwindow open
expect log "Ehome.IsRunning() == true"
+10m input

# The engine is closed from its tray menu.
at 08:00:00 answer yes
exit
expect running no
expect log "Slumberhold/frontend closed."
)scenario";
