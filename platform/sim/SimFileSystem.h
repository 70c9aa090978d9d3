#pragma once
#include <string>

#include "platform/Files.h"

// Files on a real temporary folder of the host: a Windows path such as
// C:\Users\htpc\Desktop maps to <root>/C/Users/htpc/Desktop. The folder is
// removed when the object is destroyed.
class cSimFileSystem : public cFileSystem {
public:
    cSimFileSystem();
    ~cSimFileSystem() override;
    cSimFileSystem(const cSimFileSystem&) = delete;
    cSimFileSystem& operator=(const cSimFileSystem&) = delete;

    bool FileExists(const std::string& path) override;
    bool DirectoryExists(const std::string& path) override;
    bool CreateDirectory(const std::string& path) override;
    bool AppendToFile(const std::string& path, const std::string& bytes) override;
    bool WriteNewFile(const std::string& path, const std::string& bytes) override;
    bool ReadWholeFile(const std::string& path, std::string& bytes) override;
    bool DeleteFile(const std::string& path) override;
    std::string GetTempPath() override;
    bool GetWindowsDirectory(std::string& path) override;
    // Names the files <prefix's first three characters><number>.tmp with
    // an upper-case hexadecimal number that counts up from 1, skipping
    // names that exist; fails when the directory does not exist.
    bool GetTempFileName(const std::string& directory, const std::string& prefix, std::string& path) override;
    bool GetSpecialFolder(int folder, std::string& path) override;
    std::string GetModuleFileName() override;

    // The host path of a Windows path.
    std::string HostPath(const std::string& windowsPath) const;
    // Special folders the simulated user has; a folder set to "" is missing.
    void SetSpecialFolder(int folder, const std::string& path);
    void SetModuleFileName(const std::string& path) { ModulePath = path; }
    // The temporary folder GetTempPath reports ("" makes it fail). The
    // default one exists from the start.
    void SetTempPath(const std::string& path) { TempPath = path; }
    // The number GetTempFileName tries next (1 to 0xFFFF).
    void SetNextTempNumber(unsigned number) { NextTempNumber = number; }

private:
    std::string Root;
    std::string DesktopPath = "C:\\Users\\htpc\\Desktop";
    std::string ProgramFilesPath = "C:\\Program Files";
    std::string ModulePath = "C:\\Program Files\\Slumberhold\\Slumberhold.exe";
    std::string TempPath = "C:\\Users\\htpc\\AppData\\Local\\Temp\\";
    unsigned NextTempNumber = 1;
};
