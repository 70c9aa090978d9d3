#pragma once
#include <windows.h>

#include <string>

// A copy of some bytes in the address space of the process that owns a
// window, for messages whose lParam points to a record (a pointer into the
// sender's memory would mean nothing to the receiver). The destructor frees
// the block unless Keep was called.
class cRemoteBlock {
public:
    // Opens the window's process, allocates the block there and writes the
    // bytes into it; Address() is null when any step failed (Error() says
    // which one).
    cRemoteBlock(HWND window, const std::string& bytes);
    ~cRemoteBlock();
    cRemoteBlock(const cRemoteBlock&) = delete;
    cRemoteBlock& operator=(const cRemoteBlock&) = delete;

    void* Address() const { return address_; }
    const std::string& Error() const { return error_; }
    // Leaves the block allocated: for a receiver that may still read it, as
    // after a message that timed out.
    void Keep() { kept_ = true; }

private:
    void Fail(const char* step);

    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    bool kept_ = false;
    std::string error_;
};
