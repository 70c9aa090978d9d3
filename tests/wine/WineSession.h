#pragma once
#include <memory>
#include <string>

#include "TemplatePrefix.h"
#include "XvfbDisplay.h"

// Names the folder of a template prefix made beforehand by
// slh_wine_template (the set-up step that ctest runs before the Wine tests),
// so that the tests, each run in a process of its own, share one template.
constexpr const char* TEMPLATE_VARIABLE = "SLH_WINE_TEMPLATE";

// What all Wine tests of one process share: the X display, the template
// prefix (the shared one named by TEMPLATE_VARIABLE, else one made here) and
// the folder of the Windows build.
class cWineSession {
public:
    // Throws std::runtime_error when the display or the prefix cannot be
    // made (std::filesystem::filesystem_error when a stand-in cannot be
    // copied).
    explicit cWineSession(std::string windowsBuildFolder);

    const std::string& Display() const { return Xvfb.Name(); }
    const cTemplatePrefix& Template() const { return *Prefix; }
    // The Linux path of a program of the Windows build (beside
    // Slumberhold.exe, or below the build folder); empty when there is none.
    std::string ProgramPath(const std::string& exeName) const;

private:
    std::string BuildFolder;
    cXvfbDisplay Xvfb;
    std::unique_ptr<cTemplatePrefix> Prefix;
};

// The Linux path of a program of the Windows build in buildFolder; empty
// when there is none.
std::string FindWindowsProgram(const std::string& buildFolder, const std::string& exeName);
// Puts the build's stand-ins for Windows tools that Wine lacks
// (powercfg.exe) into the template's system directory, where the program
// finds the real ones, so every copy of the template has them.
void InstallStandInTools(const cTemplatePrefix& prefix, const std::string& buildFolder);
