#include "WineSession.h"

#include <filesystem>
#include <utility>

namespace fs = std::filesystem;

cWineSession::cWineSession(std::string windowsBuildFolder)
    : BuildFolder(std::move(windowsBuildFolder)), Xvfb(), Prefix(Xvfb.Name())
{
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
