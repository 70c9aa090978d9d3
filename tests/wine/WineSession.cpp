#include "WineSession.h"

#include <cstdlib>
#include <filesystem>
#include <utility>

namespace fs = std::filesystem;

namespace {
constexpr const char* STAND_IN_TOOLS[] = {"powercfg.exe"};
}  // namespace

cWineSession::cWineSession(std::string windowsBuildFolder) : BuildFolder(std::move(windowsBuildFolder)), Xvfb()
{
    const char* shared = std::getenv(TEMPLATE_VARIABLE);
    if (shared && *shared) {
        Prefix = cTemplatePrefix::Existing(shared);
    } else {
        Prefix = std::make_unique<cTemplatePrefix>(Xvfb.Name());
        InstallStandInTools(*Prefix, BuildFolder);
    }
}

std::string cWineSession::ProgramPath(const std::string& exeName) const
{
    return FindWindowsProgram(BuildFolder, exeName);
}

std::string FindWindowsProgram(const std::string& buildFolder, const std::string& exeName)
{
    const fs::path direct = fs::path(buildFolder) / exeName;
    if (fs::is_regular_file(direct))
        return fs::absolute(direct).string();
    std::error_code error;
    for (fs::recursive_directory_iterator entry(buildFolder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry.depth() > 3)
            entry.disable_recursion_pending();
        else if (entry->path().filename() == exeName && entry->is_regular_file())
            return fs::absolute(entry->path()).string();
    }
    return {};
}

void InstallStandInTools(const cTemplatePrefix& prefix, const std::string& buildFolder)
{
    const fs::path systemFolder = fs::path(prefix.Path()) / "drive_c" / "windows" / "system32";
    for (const char* tool : STAND_IN_TOOLS) {
        const std::string source = FindWindowsProgram(buildFolder, tool);
        if (!source.empty())
            fs::copy_file(source, systemFolder / tool, fs::copy_options::overwrite_existing);
    }
}
