#include "platform/win32/Win32Sync.h"

#include "platform/win32/Win32Handle.h"

namespace {

class cWin32NamedMutex final : public cNamedMutex {
public:
    // Takes over the handle.
    explicit cWin32NamedMutex(HANDLE mutex) : Mutex(mutex) {}

    eWaitResult Wait(uint32_t milliseconds) override { return Mutex.Wait(milliseconds); }

    bool Release() override { return ReleaseMutex(Mutex.Get()) != 0; }

private:
    cScopedHandle Mutex;
};

}  // namespace

std::unique_ptr<cNamedMutex> cWin32Synchronization::CreateNamedMutex(const std::string& name)
{
    // Opens the existing mutex when another process created it first
    // (GetLastError then says ERROR_ALREADY_EXISTS).
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    if (mutex == nullptr)
        return nullptr;
    return std::make_unique<cWin32NamedMutex>(mutex);
}
