// A running process opened by its id: waited for, terminated, its priority
// read and raised (the front-ends the engine closes).
#include "platform/win32/Win32Processes.h"

#include "platform/win32/Win32Handle.h"

namespace {

class cWin32OpenedProcess final : public cProcess {
public:
    explicit cWin32OpenedProcess(HANDLE handle) : Handle(handle) {}

    eWaitResult Wait(uint32_t milliseconds) override { return Handle.Wait(milliseconds); }
    bool GetExitCode(uint32_t& code) override { return ReadProcessExitCode(Handle.Get(), code); }
    bool Terminate(uint32_t exitCode) override { return TerminateProcess(Handle.Get(), exitCode) != 0; }
    bool GetPriorityClass(uint32_t& priorityClass) override
    {
        const DWORD value = ::GetPriorityClass(Handle.Get());
        priorityClass = value;
        return value != 0;
    }
    bool SetPriorityClass(uint32_t priorityClass) override
    {
        return ::SetPriorityClass(Handle.Get(), priorityClass) != 0;
    }

private:
    cScopedHandle Handle;
};

}  // namespace

bool ReadProcessExitCode(HANDLE process, uint32_t& code)
{
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process, &exitCode))
        return false;
    code = exitCode;
    return true;
}

std::unique_ptr<cProcess> cWin32Processes::OpenProcess(uint32_t processId, uint32_t access)
{
    HANDLE handle = ::OpenProcess(access, FALSE, processId);
    if (handle == nullptr)
        return nullptr;
    return std::make_unique<cWin32OpenedProcess>(handle);
}
