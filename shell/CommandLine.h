#pragma once
#include <string>
#include <vector>

// What the switches of the command line decide: the process's roles and
// options.
struct cRunFlags {
    bool HandlePowerEvents = false;  // power broadcasts and the heartbeat reach the engine
    bool EngineRole = false;         // tray icon, status block, engine start-up, engine title
    bool ConfiguratorRole = true;    // shows settings and the status of a separate engine
    bool NoRebootNotice = false;     // NOREBOOT
    bool Installing = false;         // INSTALLING: the engine start-up check is skipped
    bool DebugPages = false;         // DEBUG
    bool IdlePage = false;           // IDLE
};

// Applies the switches of every argument, argument 0 included, from left to
// right. An argument is upper-cased and matches a switch when it begins with
// it; unknown arguments are ignored.
cRunFlags ParseSwitches(const std::vector<std::string>& arguments);
