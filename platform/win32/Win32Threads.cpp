#include "platform/win32/Win32Threads.h"

#include <process.h>

#include <vector>

#include "platform/win32/Win32Handle.h"

namespace {

// What the debugger reads from the thread-name exception (THREADNAME_INFO).
constexpr DWORD MS_VC_THREAD_NAME_EXCEPTION = 0x406D1388;
constexpr DWORD THREAD_NAME_INFO_TYPE = 0x1000;
constexpr DWORD CALLING_THREAD = 0xFFFFFFFF;

struct cThreadNameInfo {
    DWORD Type;
    LPCSTR Name;
    DWORD ThreadId;
    DWORD Flags;
};

// Lets the thread-name exception pass when the debugger did not take it.
LONG CALLBACK ContinueAfterThreadName(EXCEPTION_POINTERS* exception)
{
    return exception->ExceptionRecord->ExceptionCode == MS_VC_THREAD_NAME_EXCEPTION ? EXCEPTION_CONTINUE_EXECUTION
                                                                                     : EXCEPTION_CONTINUE_SEARCH;
}

// Names the calling thread for debuggers and crash reports.
void NameCallingThread(const std::string& name)
{
    using tSetThreadDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    auto setDescription = LookUpProcedure<tSetThreadDescription>("kernel32.dll", "SetThreadDescription");
    if (setDescription != nullptr) {
        const int length = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
        if (length > 0) {
            std::vector<wchar_t> wide(static_cast<size_t>(length));
            MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), length);
            setDescription(GetCurrentThread(), wide.data());
        }
        return;
    }
    // Only a debugger reads the old convention; without one the exception
    // would be for nothing. GCC has no __try, so a vectored handler (called
    // after the debugger's first chance) lets the thread go on.
    if (!IsDebuggerPresent())
        return;
    const cThreadNameInfo info{THREAD_NAME_INFO_TYPE, name.c_str(), CALLING_THREAD, 0};
    PVOID handler = AddVectoredExceptionHandler(1, &ContinueAfterThreadName);
    if (handler == nullptr)
        return;
    RaiseException(MS_VC_THREAD_NAME_EXCEPTION, 0, sizeof(info) / sizeof(ULONG_PTR),
                   reinterpret_cast<const ULONG_PTR*>(&info));
    RemoveVectoredExceptionHandler(handler);
}

class cWin32ThreadEvent final : public cThreadEvent {
public:
    // Takes over the handle.
    explicit cWin32ThreadEvent(HANDLE event) : Event(event) {}

    void Signal() override { SetEvent(Event.Get()); }

    // An event is never abandoned.
    eWaitResult Wait(uint32_t milliseconds) override { return Event.Wait(milliseconds); }

private:
    cScopedHandle Event;
};

// What the new thread needs; it owns and deletes it.
struct cThreadStart {
    std::string Name;
    std::function<void()> Body;
};

unsigned __stdcall ThreadMain(void* argument)
{
    cThreadStart* start = static_cast<cThreadStart*>(argument);
    NameCallingThread(start->Name);
    start->Body();
    delete start;
    return 0;
}

class cWin32Thread final : public cThread {
public:
    // Takes over the handle.
    explicit cWin32Thread(HANDLE thread) : Thread(thread) {}
    ~cWin32Thread() override { Join(); }
    cWin32Thread(const cWin32Thread&) = delete;
    cWin32Thread& operator=(const cWin32Thread&) = delete;

    void Join() override
    {
        if (!Thread.IsOpen())
            return;
        cLastErrorKeeper keeper;
        WaitForSingleObject(Thread.Get(), INFINITE);
        Thread.Close();
    }

private:
    cScopedHandle Thread;
};

}  // namespace

std::unique_ptr<cThreadEvent> cWin32Threads::CreateThreadEvent()
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (event == nullptr)
        return nullptr;
    return std::make_unique<cWin32ThreadEvent>(event);
}

// The engine's threads wait and make a few system calls: the default reserve
// of the executable (2 MB) is address space they never use.
constexpr unsigned THREAD_STACK_RESERVE = 256 * 1024;

std::unique_ptr<cThread> cWin32Threads::StartThread(const std::string& name, std::function<void()> body)
{
    cThreadStart* start = new cThreadStart{name, std::move(body)};
    const uintptr_t thread = _beginthreadex(nullptr, THREAD_STACK_RESERVE, &ThreadMain, start,
                                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == 0) {
        delete start;
        return nullptr;
    }
    return std::make_unique<cWin32Thread>(reinterpret_cast<HANDLE>(thread));
}
