#pragma once
// Kept free of <windows.h>, so that the entry point and anything else that
// builds the platform does not take in the Windows headers.
#include <memory>

struct cPlatform;

// The real Windows backend: owns one implementation of each platform
// interface and the cPlatform bundle of references to them. Build it on the
// user-interface thread (the windowing part belongs to that thread) and keep
// it alive until the logic is done with the bundle.
class cWin32Platform {
public:
    cWin32Platform();
    ~cWin32Platform();
    cWin32Platform(const cWin32Platform&) = delete;
    cWin32Platform& operator=(const cWin32Platform&) = delete;

    cPlatform& Get();

private:
    struct cParts;
    std::unique_ptr<cParts> Parts;
};
