#pragma once
#include <string>

// A new, empty folder under $TMPDIR (or /tmp), removed with everything in
// it by the destructor.
class cTempFolder {
public:
    // Throws std::runtime_error when the folder cannot be made.
    explicit cTempFolder(const std::string& namePrefix);
    ~cTempFolder();
    cTempFolder(const cTempFolder&) = delete;
    cTempFolder& operator=(const cTempFolder&) = delete;

    const std::string& Path() const { return Path_; }

private:
    std::string Path_;
};
