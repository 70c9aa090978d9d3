#include "platform/win32/Win32VersionResources.h"

#include "platform/win32/Win32.h"

#include <vector>

bool cWin32VersionResources::GetFixedFileVersion(const std::string& path, cFixedFileVersion& version)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0)
        return false;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        return false;

    void* record = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (!VerQueryValueA(block.data(), root, &record, &length) || record == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(record);
    version.FileVersionMS = fixed->dwFileVersionMS;
    version.FileVersionLS = fixed->dwFileVersionLS;
    return true;
}
