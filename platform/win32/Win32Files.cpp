#include "platform/win32/Win32Files.h"

#include "platform/win32/Win32Handle.h"

#include <shlobj.h>

#include <vector>

namespace {

bool WriteAll(HANDLE file, const std::string& bytes)
{
    // WriteFile takes a DWORD count: write in pieces that fit.
    constexpr size_t MAX_PIECE = 1u << 30;
    size_t done = 0;
    while (done < bytes.size()) {
        size_t piece = bytes.size() - done;
        if (piece > MAX_PIECE)
            piece = MAX_PIECE;
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(piece), &written, nullptr))
            return false;
        done += written;
    }
    return true;
}

}  // namespace

bool cWin32FileSystem::FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool cWin32FileSystem::DirectoryExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool cWin32FileSystem::CreateDirectory(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool cWin32FileSystem::AppendToFile(const std::string& path, const std::string& bytes)
{
    cScopedHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return false;
    return WriteAll(file.Get(), bytes);
}

bool cWin32FileSystem::WriteNewFile(const std::string& path, const std::string& bytes)
{
    cScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return false;
    return WriteAll(file.Get(), bytes);
}

bool cWin32FileSystem::ReadWholeFile(const std::string& path, std::string& bytes)
{
    cScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return false;

    // Read until the end rather than trusting the size: another process
    // may append meanwhile.
    std::string content;
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr))
            return false;
        if (read == 0)
            break;
        content.append(buffer, read);
    }
    bytes = std::move(content);
    return true;
}

bool cWin32FileSystem::DeleteFile(const std::string& path)
{
    return DeleteFileA(path.c_str()) != 0;
}

bool cWin32FileSystem::GetWindowsDirectory(std::string& path)
{
    char buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return false;
    path.assign(buffer, length);
    return true;
}

std::string cWin32FileSystem::GetTempPath()
{
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        DWORD length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return std::string();
        // Too small: length is the size needed, terminating zero included.
        if (length >= buffer.size()) {
            buffer.resize(length + 1);
            continue;
        }
        return std::string(buffer.data(), length < buffer.size() ? length : buffer.size());
    }
}

bool cWin32FileSystem::GetTempFileName(const std::string& directory, const std::string& prefix, std::string& path)
{
    // The longest name the call makes fits in MAX_PATH.
    char buffer[MAX_PATH] = {};
    if (GetTempFileNameA(directory.c_str(), prefix.c_str(), 0, buffer) == 0)
        return false;
    path = buffer;
    return true;
}

bool cWin32FileSystem::GetSpecialFolder(int folder, std::string& path)
{
    char buffer[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK)
        return false;
    path = buffer;
    return true;
}

std::string cWin32FileSystem::GetModuleFileName()
{
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::string();
        // A full buffer means the path was cut (XP does not even add the
        // terminating zero then): try with a larger one, up to the longest
        // path Windows knows.
        if (length >= buffer.size() && buffer.size() <= 32768) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        return std::string(buffer.data(), length < buffer.size() ? length : buffer.size());
    }
}
