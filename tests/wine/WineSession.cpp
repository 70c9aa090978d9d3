#include "WineSession.h"

#include <filesystem>
#include <utility>

namespace fs = std::filesystem;

namespace {
// Windows tools that Wine lacks; the build's stand-ins take their place in
// the system directory of the template, so every test prefix has them.
constexpr const char* STAND_IN_TOOLS[] = {"powercfg.exe"};
}  // namespace

cWineSession::cWineSession(std::string windowsBuildFolder)
    : BuildFolder(std::move(windowsBuildFolder)), Xvfb(), Prefix(Xvfb.Name())
{
    const fs::path systemFolder = fs::path(Prefix.Path()) / "drive_c" / "windows" / "system32";
    for (const char* tool : STAND_IN_TOOLS) {
        const std::string source = ProgramPath(tool);
        if (!source.empty())
            fs::copy_file(source, systemFolder / tool, fs::copy_options::overwrite_existing);
    }
}

std::string cWineSession::ProgramPath(const std::string& exeName) const
{
    const fs::path direct = fs::path(BuildFolder) / exeName;
    if (fs::is_regular_file(direct))
        return fs::absolute(direct).string();
    std::error_code error;
    for (fs::recursive_directory_iterator entry(BuildFolder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry.depth() > 3)
            entry.disable_recursion_pending();
        else if (entry->path().filename() == exeName && entry->is_regular_file())
            return fs::absolute(entry->path()).string();
    }
    return {};
}
