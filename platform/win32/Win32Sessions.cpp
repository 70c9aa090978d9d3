#include "platform/win32/Win32Sessions.h"

#include "platform/win32/Win32.h"

#include <lm.h>
#include <wtsapi32.h>

namespace {

// Takes ownership of a buffer from the terminal-services layer.
template <typename tFree>
class cWtsBuffer {
public:
    cWtsBuffer(tFree free, void* buffer) : Free(free), Buffer(buffer) {}
    ~cWtsBuffer()
    {
        if (Buffer != nullptr) {
            cLastErrorKeeper keepError;
            Free(Buffer);
        }
    }
    cWtsBuffer(const cWtsBuffer&) = delete;
    cWtsBuffer& operator=(const cWtsBuffer&) = delete;

private:
    tFree Free;
    void* Buffer;
};

std::string ToAnsi(const wchar_t* text)
{
    if (text == nullptr || *text == L'\0')
        return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return {};
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), length, nullptr, nullptr);
    result.resize(static_cast<size_t>(length - 1));
    return result;
}

template <typename tProcedure>
tProcedure Procedure(HMODULE module, const char* name)
{
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<tProcedure>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

struct cWin32Sessions::cWtsApi {
    using tEnumerate = BOOL(WINAPI*)(HANDLE, DWORD, DWORD, PWTS_SESSION_INFOA*, DWORD*);
    using tQuery = BOOL(WINAPI*)(HANDLE, DWORD, WTS_INFO_CLASS, LPSTR*, DWORD*);
    using tFree = VOID(WINAPI*)(PVOID);
    using tRegister = BOOL(WINAPI*)(HWND, DWORD);
    using tUnregister = BOOL(WINAPI*)(HWND);

    HMODULE Module = LoadLibraryA("wtsapi32.dll");
    tEnumerate Enumerate = Procedure<tEnumerate>(Module, "WTSEnumerateSessionsA");
    tQuery Query = Procedure<tQuery>(Module, "WTSQuerySessionInformationA");
    tFree Free = Procedure<tFree>(Module, "WTSFreeMemory");
    tRegister Register = Procedure<tRegister>(Module, "WTSRegisterSessionNotification");
    tUnregister Unregister = Procedure<tUnregister>(Module, "WTSUnRegisterSessionNotification");

    ~cWtsApi()
    {
        if (Module != nullptr)
            FreeLibrary(Module);
    }
};

cWin32Sessions::cWin32Sessions() : Api(std::make_unique<cWtsApi>()) {}

cWin32Sessions::~cWin32Sessions() = default;

bool cWin32Sessions::EnumerateSessions(std::vector<cTerminalSession>& sessions)
{
    sessions.clear();
    if (Api->Enumerate == nullptr || Api->Free == nullptr) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return false;
    }
    PWTS_SESSION_INFOA list = nullptr;
    DWORD count = 0;
    if (!Api->Enumerate(WTS_CURRENT_SERVER_HANDLE, 0, 1, &list, &count))
        return false;
    cWtsBuffer<cWtsApi::tFree> owner(Api->Free, list);
    for (DWORD i = 0; i < count; ++i)
        sessions.push_back({static_cast<uint32_t>(list[i].SessionId),
                            list[i].pWinStationName != nullptr ? list[i].pWinStationName : "",
                            static_cast<int>(list[i].State)});
    return true;
}

bool cWin32Sessions::QuerySessionInformation(uint32_t sessionId, uint32_t infoClass, std::vector<uint8_t>& data)
{
    data.clear();
    if (Api->Query == nullptr || Api->Free == nullptr) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return false;
    }
    LPSTR buffer = nullptr;
    DWORD bytes = 0;
    if (!Api->Query(WTS_CURRENT_SERVER_HANDLE, sessionId, static_cast<WTS_INFO_CLASS>(infoClass), &buffer, &bytes))
        return false;
    cWtsBuffer<cWtsApi::tFree> owner(Api->Free, buffer);
    if (buffer != nullptr)
        data.assign(reinterpret_cast<const uint8_t*>(buffer), reinterpret_cast<const uint8_t*>(buffer) + bytes);
    return true;
}

bool cWin32Sessions::RegisterSessionNotification(WindowHandle window, uint32_t flags)
{
    if (Api->Register == nullptr) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return false;
    }
    return Api->Register(reinterpret_cast<HWND>(window), flags) != FALSE;
}

bool cWin32Sessions::UnregisterSessionNotification(WindowHandle window)
{
    if (Api->Unregister == nullptr) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return false;
    }
    return Api->Unregister(reinterpret_cast<HWND>(window)) != FALSE;
}

uint32_t cWin32Sessions::EnumerateNetSessions(uint32_t& resumeHandle, std::vector<cNetSession>& sessions)
{
    sessions.clear();
    LPBYTE buffer = nullptr;
    DWORD read = 0;
    DWORD total = 0;
    DWORD resume = resumeHandle;
    const NET_API_STATUS status =
        NetSessionEnum(nullptr, nullptr, nullptr, 10, &buffer, MAX_PREFERRED_LENGTH, &read, &total, &resume);
    resumeHandle = resume;
    if ((status == NERR_Success || status == ERROR_MORE_DATA) && buffer != nullptr) {
        const auto* entries = reinterpret_cast<const SESSION_INFO_10*>(buffer);
        for (DWORD i = 0; i < read; ++i)
            sessions.push_back({ToAnsi(entries[i].sesi10_cname), ToAnsi(entries[i].sesi10_username),
                                static_cast<uint32_t>(entries[i].sesi10_time),
                                static_cast<uint32_t>(entries[i].sesi10_idle_time)});
    }
    // The buffer is the caller's whatever the status, a failed call included.
    if (buffer != nullptr)
        NetApiBufferFree(buffer);
    return static_cast<uint32_t>(status);
}
