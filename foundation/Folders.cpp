#include "foundation/Folders.h"

bool ForceDirectories(cFileSystem& files, const std::string& path)
{
    std::string directory = path;
    while (directory.size() > 3 && directory.back() == '\\')
        directory.pop_back();
    if (directory.empty())
        return false;
    if (files.DirectoryExists(directory))
        return true;
    const size_t parentEnd = directory.find_last_of('\\');
    // A drive root ("C:" or "C:\") that is missing cannot be made.
    if (parentEnd == std::string::npos || directory.size() <= 3)
        return false;
    const std::string parent = directory.substr(0, parentEnd);
    if (!ForceDirectories(files, parent.size() == 2 && parent[1] == ':' ? parent + "\\" : parent))
        return false;
    return files.CreateDirectory(directory) || files.DirectoryExists(directory);
}
