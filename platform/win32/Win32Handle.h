#pragma once
#include <cstdint>

#include "platform/Sync.h"
#include "platform/win32/Win32.h"

// A kernel handle owned by its holder and closed when the holder goes.
// Closing keeps the last-error code of a call that failed before it. Null
// and INVALID_HANDLE_VALUE both mean no handle: the calls that open handles
// report failure with one or the other.
class cScopedHandle {
public:
    cScopedHandle() = default;
    explicit cScopedHandle(HANDLE handle) : Handle(handle) {}
    ~cScopedHandle() { Close(); }
    cScopedHandle(const cScopedHandle&) = delete;
    cScopedHandle& operator=(const cScopedHandle&) = delete;

    bool IsOpen() const { return Handle != nullptr && Handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return Handle; }
    // For a call that returns the handle through a pointer; the holder must
    // be empty.
    HANDLE* Receive() { return &Handle; }

    // WaitForSingleObject on the handle.
    eWaitResult Wait(uint32_t milliseconds) const
    {
        switch (WaitForSingleObject(Handle, milliseconds)) {
        case WAIT_OBJECT_0:
            return eWaitResult::Signaled;
        case WAIT_ABANDONED:
            return eWaitResult::Abandoned;
        case WAIT_TIMEOUT:
            return eWaitResult::Timeout;
        default:
            return eWaitResult::Failed;
        }
    }

    // Closes the handle now (the holder is then empty).
    void Close()
    {
        if (IsOpen()) {
            cLastErrorKeeper keeper;
            CloseHandle(Handle);
        }
        Handle = nullptr;
    }

private:
    HANDLE Handle = nullptr;
};
