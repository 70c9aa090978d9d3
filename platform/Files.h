#pragma once
#include <string>

// Shell folder numbers (CSIDL_*) the program asks for.
constexpr int FOLDER_DESKTOPDIRECTORY = 0x0010;
constexpr int FOLDER_PROGRAM_FILES = 0x0026;

// Files and folders. Paths are Windows paths (C:\...).
class cFileSystem {
public:
    virtual ~cFileSystem() = default;

    virtual bool FileExists(const std::string& path) = 0;
    virtual bool DirectoryExists(const std::string& path) = 0;
    // Creates one directory; its parent must exist.
    virtual bool CreateDirectory(const std::string& path) = 0;
    // Opens the file in binary append mode (creating it), writes, closes.
    virtual bool AppendToFile(const std::string& path, const std::string& bytes) = 0;
    // Creates or truncates the file, writes, closes.
    virtual bool WriteNewFile(const std::string& path, const std::string& bytes) = 0;
    virtual bool ReadWholeFile(const std::string& path, std::string& bytes) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;
    // The temporary folder, ending in a backslash; empty on failure.
    virtual std::string GetTempPath() = 0;
    // The Windows folder (GetWindowsDirectory), without a trailing backslash.
    virtual bool GetWindowsDirectory(std::string& path) = 0;
    // Creates a new, empty file with a unique name in the directory
    // (GetTempFileName with unique number 0: the name is the prefix's first
    // three characters, a hexadecimal number and ".tmp"); path is its full
    // path. On failure path is left as it was.
    virtual bool GetTempFileName(const std::string& directory, const std::string& prefix, std::string& path) = 0;
    virtual bool GetSpecialFolder(int folder, std::string& path) = 0;
    // Full path of the running program's executable.
    virtual std::string GetModuleFileName() = 0;
};
