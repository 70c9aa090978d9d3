#pragma once
#include "platform/Files.h"

// Files and folders through the ANSI file API. A failed call leaves the
// thread's last-error code of the call that failed.
class cWin32FileSystem final : public cFileSystem {
public:
    bool FileExists(const std::string& path) override;
    bool DirectoryExists(const std::string& path) override;
    bool CreateDirectory(const std::string& path) override;
    // Opened for appending (FILE_APPEND_DATA) and shared for reading and
    // writing, so that another process may hold the file open meanwhile.
    bool AppendToFile(const std::string& path, const std::string& bytes) override;
    bool WriteNewFile(const std::string& path, const std::string& bytes) override;
    bool ReadWholeFile(const std::string& path, std::string& bytes) override;
    bool DeleteFile(const std::string& path) override;
    std::string GetTempPath() override;
    bool GetWindowsDirectory(std::string& path) override;
    bool GetTempFileName(const std::string& directory, const std::string& prefix, std::string& path) override;
    // SHGetFolderPathA with the CSIDL number, the folder's current path.
    bool GetSpecialFolder(int folder, std::string& path) override;
    std::string GetModuleFileName() override;
};
