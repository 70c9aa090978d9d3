#include "TestPrefix.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "WinePaths.h"

namespace fs = std::filesystem;

namespace {

bool IsDll(const fs::path& file)
{
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".dll";
}

bool LinkFile(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::create_hard_link(from, to, error);
    return !error;
}

// Copies the tree, keeping symbolic links as links (dosdevices) and the
// modes (Wine checks them); DLLs become hard links when they can.
void CopyPrefixTree(const fs::path& from, const fs::path& to)
{
    fs::create_directory(to, from);
    for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
        const fs::path target = to / entry.path().filename();
        if (entry.is_symlink()) {
            fs::copy_symlink(entry.path(), target);
        } else if (entry.is_directory()) {
            CopyPrefixTree(entry.path(), target);
        } else if (!IsDll(entry.path()) || !LinkFile(entry.path(), target)) {
            fs::copy_file(entry.path(), target);
        }
    }
}

}  // namespace

cTestPrefix::cTestPrefix(const cTemplatePrefix& source, const std::string& folder) : Path_(folder + "/prefix")
{
    CopyPrefixTree(source.Path(), Path_);
}

std::string cTestPrefix::LinuxPath(const std::string& windowsPath) const
{
    return LinuxPathInPrefix(Path_, windowsPath);
}
