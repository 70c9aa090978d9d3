#include "TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

cTempFolder::cTempFolder(const std::string& namePrefix)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + namePrefix + "-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a folder like " + pattern);
    Path_ = pattern;
}

cTempFolder::~cTempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(Path_, ignored);
}
