#include "shell/CommandLine.h"

#include <algorithm>
#include <cctype>

namespace {

struct cSwitch {
    const char* Name;
    void (*Apply)(cRunFlags& flags);
};

// Tested in this order; SPLIT and LOG are accepted and do nothing.
const cSwitch SWITCHES[] = {
    {"ENGINE",
     [](cRunFlags& f) {
         f.HandlePowerEvents = true;
         f.EngineRole = true;
         f.ConfiguratorRole = false;
     }},
    {"CONFIGURATOR",
     [](cRunFlags& f) {
         f.EngineRole = false;
         f.ConfiguratorRole = true;
     }},
    {"TRAY",
     [](cRunFlags& f) {
         f.HandlePowerEvents = true;
         f.EngineRole = true;
         f.ConfiguratorRole = true;
     }},
    {"SPLIT", [](cRunFlags&) {}},
    {"LOG", [](cRunFlags&) {}},
    {"DEBUG", [](cRunFlags& f) { f.DebugPages = true; }},
    {"IDLE", [](cRunFlags& f) { f.IdlePage = true; }},
    {"NOREBOOT", [](cRunFlags& f) { f.NoRebootNotice = true; }},
    {"INSTALLING", [](cRunFlags& f) { f.Installing = true; }},
};

}  // namespace

cRunFlags ParseSwitches(const std::vector<std::string>& arguments)
{
    cRunFlags flags;
    for (std::string argument : arguments) {
        std::transform(argument.begin(), argument.end(), argument.begin(),
                       [](unsigned char c) { return std::toupper(c); });
        for (const cSwitch& candidate : SWITCHES)
            if (argument.rfind(candidate.Name, 0) == 0)
                candidate.Apply(flags);
    }
    return flags;
}
