#include "tools/runner/Scenario.h"

const char* const DEFAULT_SCENARIO = R"(# An evening on a home-theatre PC.
clock 2026-12-09 21:00:00
set HKLM LogMode 1
set HKLM LogPath "C:\Slumberhold Logs"

# The engine starts with the user's logon.
start ENGINE
expect title "Slumberhold - Engine mode"
expect log "Initialisation done"

# Near midnight the engine is closed from its tray menu.
at 23:45:00 answer yes
exit
expect running no
expect log "Slumberhold/frontend closed."
)";
