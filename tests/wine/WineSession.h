#pragma once
#include <string>

#include "TemplatePrefix.h"
#include "XvfbDisplay.h"

// What all Wine tests of one run share: the X display and the template
// prefix, both made once, and the folder of the Windows build. The build's
// stand-ins for Windows tools that Wine lacks (powercfg.exe) are put into
// the template's system directory, where the program finds the real ones.
class cWineSession {
public:
    // Throws std::runtime_error when the display or the prefix cannot be
    // made (std::filesystem::filesystem_error when a stand-in cannot be
    // copied).
    explicit cWineSession(std::string windowsBuildFolder);

    const std::string& Display() const { return Xvfb.Name(); }
    const cTemplatePrefix& Template() const { return Prefix; }
    // The Linux path of a program of the Windows build (beside
    // Slumberhold.exe, or below the build folder); empty when there is none.
    std::string ProgramPath(const std::string& exeName) const;

private:
    std::string BuildFolder;
    cXvfbDisplay Xvfb;
    cTemplatePrefix Prefix;
};
