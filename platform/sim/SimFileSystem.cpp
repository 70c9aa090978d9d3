#include "platform/sim/SimFileSystem.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

cSimFileSystem::cSimFileSystem()
{
    std::string pattern = (fs::temp_directory_path() / "slh-sim-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create the simulator's drive folder");
    Root = pattern;
    fs::create_directories(Root + "/C");
    fs::create_directories(HostPath(TempPath));
}

cSimFileSystem::~cSimFileSystem()
{
    std::error_code ignored;
    fs::remove_all(Root, ignored);
}

std::string cSimFileSystem::HostPath(const std::string& windowsPath) const
{
    std::string host = Root;
    std::string rest = windowsPath;
    if (rest.size() >= 2 && rest[1] == ':') {
        host += '/';
        host += static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0])));
        rest = rest.substr(2);
    }
    for (char c : rest)
        host += c == '\\' ? '/' : c;
    return host;
}

bool cSimFileSystem::FileExists(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(HostPath(path), error);
}

bool cSimFileSystem::DirectoryExists(const std::string& path)
{
    std::error_code error;
    return fs::is_directory(HostPath(path), error);
}

bool cSimFileSystem::CreateDirectory(const std::string& path)
{
    std::error_code error;
    const fs::path host = HostPath(path);
    const fs::path drive = HostPath(path.substr(0, 2));
    // Drive roots always exist on Windows; any other parent must exist already.
    if (host.parent_path() == drive)
        fs::create_directories(drive, error);
    if (!fs::is_directory(host.parent_path(), error))
        return false;
    return fs::create_directory(host, error);
}

bool cSimFileSystem::AppendToFile(const std::string& path, const std::string& bytes)
{
    std::ofstream file(HostPath(path), std::ios::binary | std::ios::app);
    if (!file)
        return false;
    file << bytes;
    return static_cast<bool>(file);
}

bool cSimFileSystem::WriteNewFile(const std::string& path, const std::string& bytes)
{
    std::ofstream file(HostPath(path), std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    file << bytes;
    return static_cast<bool>(file);
}

bool cSimFileSystem::ReadWholeFile(const std::string& path, std::string& bytes)
{
    std::ifstream file(HostPath(path), std::ios::binary);
    if (!file)
        return false;
    std::ostringstream content;
    content << file.rdbuf();
    bytes = content.str();
    return true;
}

bool cSimFileSystem::DeleteFile(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(HostPath(path), error) && fs::remove(HostPath(path), error);
}

bool cSimFileSystem::GetWindowsDirectory(std::string& path)
{
    path = "C:\\Windows";
    return true;
}

std::string cSimFileSystem::GetTempPath()
{
    return TempPath;
}

bool cSimFileSystem::GetTempFileName(const std::string& directory, const std::string& prefix, std::string& path)
{
    if (!DirectoryExists(directory))
        return false;
    const std::string base = directory.empty() || directory.back() == '\\' ? directory : directory + "\\";
    // Windows tries the 65535 numbers of the name once each.
    for (unsigned tries = 0; tries < 0xFFFF; ++tries) {
        const unsigned number = NextTempNumber;
        NextTempNumber = NextTempNumber % 0xFFFF + 1;
        char hex[8];
        std::snprintf(hex, sizeof hex, "%X", number);
        const std::string candidate = base + prefix.substr(0, 3) + hex + ".tmp";
        if (FileExists(candidate))
            continue;
        if (!WriteNewFile(candidate, ""))
            return false;
        path = candidate;
        return true;
    }
    return false;
}

bool cSimFileSystem::GetSpecialFolder(int folder, std::string& path)
{
    const std::string& found = folder == FOLDER_DESKTOPDIRECTORY ? DesktopPath
                               : folder == FOLDER_PROGRAM_FILES  ? ProgramFilesPath
                                                                 : std::string();
    if (found.empty())
        return false;
    path = found;
    return true;
}

void cSimFileSystem::SetSpecialFolder(int folder, const std::string& path)
{
    if (folder == FOLDER_DESKTOPDIRECTORY)
        DesktopPath = path;
    else if (folder == FOLDER_PROGRAM_FILES)
        ProgramFilesPath = path;
}

std::string cSimFileSystem::GetModuleFileName()
{
    return ModulePath;
}
