#include "TestPrefix.h"

#include <stdexcept>

#include "ChildProcess.h"
#include "WinePaths.h"

namespace {
constexpr auto COPY_TIMEOUT = std::chrono::seconds(120);
}

cTestPrefix::cTestPrefix(const cTemplatePrefix& source, const std::string& folder) : Path_(folder + "/prefix")
{
    // cp -a keeps the links of dosdevices, the modes and the owner, which
    // Wine checks.
    cLaunch copy;
    copy.Arguments = {"cp", "-a", source.Path(), Path_};
    const cRunResult copied = RunToEnd(copy, COPY_TIMEOUT);
    if (!copied.Finished || copied.ExitCode != 0)
        throw std::runtime_error("cannot copy the template prefix to " + Path_);
}

std::string cTestPrefix::LinuxPath(const std::string& windowsPath) const
{
    return LinuxPathInPrefix(Path_, windowsPath);
}
