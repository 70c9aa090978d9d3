#include "WinePaths.h"

#include <algorithm>
#include <cctype>

std::string LinuxPathInPrefix(const std::string& prefix, const std::string& windowsPath)
{
    if (windowsPath.size() < 3 || !std::isalpha(static_cast<unsigned char>(windowsPath[0])) ||
        windowsPath[1] != ':' || windowsPath[2] != '\\')
        return {};
    std::string rest = windowsPath.substr(2);
    std::replace(rest.begin(), rest.end(), '\\', '/');
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
    return prefix + "/dosdevices/" + drive + ":" + rest;
}

std::string WindowsPathOf(const std::string& linuxPath)
{
    std::string path = "Z:" + linuxPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}
