// Starting programs: CreateProcess, the wide and the desktop-shell-token
// variants, the "runas" verb, and the facts the launcher asks for first (the
// system directory, the own integrity level).
#include "platform/win32/Win32Processes.h"

#include "platform/win32/Win32Handle.h"

#include <shellapi.h>

#include <vector>

namespace {

// Closes the handles of a started process that nobody waits for; the
// process runs on.
void CloseProcessHandles(const PROCESS_INFORMATION& info)
{
    const cScopedHandle thread(info.hThread);
    const cScopedHandle process(info.hProcess);
}

// The command-line parameter of the CreateProcess functions must be
// writable: they may change it while they run.
template <typename tChar>
std::vector<tChar> WritableCopy(const std::basic_string<tChar>& text)
{
    std::vector<tChar> copy(text.begin(), text.end());
    copy.push_back(0);
    return copy;
}

class cWin32Process final : public cProcess {
public:
    explicit cWin32Process(const PROCESS_INFORMATION& info) : Process(info.hProcess), Thread(info.hThread) {}

    eWaitResult Wait(uint32_t milliseconds) override { return Process.Wait(milliseconds); }
    bool GetExitCode(uint32_t& code) override { return ReadProcessExitCode(Process.Get(), code); }
    bool Terminate(uint32_t exitCode) override { return TerminateProcess(Process.Get(), exitCode) != 0; }
    bool GetPriorityClass(uint32_t& priorityClass) override
    {
        priorityClass = ::GetPriorityClass(Process.Get());
        return priorityClass != 0;
    }
    bool SetPriorityClass(uint32_t priorityClass) override
    {
        return ::SetPriorityClass(Process.Get(), priorityClass) != 0;
    }

private:
    cScopedHandle Process;
    cScopedHandle Thread;
};

}  // namespace

std::unique_ptr<cProcess> cWin32Processes::CreateProcess(const cProcessStart& start)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(start.Show);
    std::vector<char> commandLine = WritableCopy(start.CommandLine);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(start.Application.empty() ? nullptr : start.Application.c_str(), commandLine.data(),
                        nullptr, nullptr, start.InheritHandles ? TRUE : FALSE, start.CreationFlags, nullptr,
                        start.CurrentDirectory.empty() ? nullptr : start.CurrentDirectory.c_str(), &startup, &info))
        return nullptr;
    return std::make_unique<cWin32Process>(info);
}

bool cWin32Processes::CreateProcessW(const std::wstring& application, const std::wstring& commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    std::vector<wchar_t> line = WritableCopy(commandLine);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        return false;
    CloseProcessHandles(info);
    return true;
}

bool cWin32Processes::CreateProcessWithDesktopShellToken(const std::wstring& application,
                                                         const std::wstring& commandLine)
{
    // Vista and later only: looked up so that the program still loads on XP.
    using tCreateProcessWithTokenW = BOOL(WINAPI*)(HANDLE, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR,
                                                   LPSTARTUPINFOW, LPPROCESS_INFORMATION);
    auto createProcessWithToken = LookUpProcedure<tCreateProcessWithTokenW>("advapi32", "CreateProcessWithTokenW");
    if (createProcessWithToken == nullptr) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return false;
    }
    HWND shellWindow = FindWindowA("Progman", nullptr);
    if (shellWindow == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    DWORD shellProcessId = 0;
    GetWindowThreadProcessId(shellWindow, &shellProcessId);
    cScopedHandle shellProcess(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, shellProcessId));
    if (shellProcess.Get() == nullptr)
        return false;
    cScopedHandle shellToken;
    if (!OpenProcessToken(shellProcess.Get(), TOKEN_DUPLICATE, shellToken.Receive()))
        return false;
    cScopedHandle primaryToken;
    if (!DuplicateTokenEx(shellToken.Get(), TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation, TokenPrimary,
                          primaryToken.Receive()))
        return false;

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    std::vector<wchar_t> line = WritableCopy(commandLine);
    PROCESS_INFORMATION info = {};
    if (!createProcessWithToken(primaryToken.Get(), 0, application.c_str(), line.data(), 0, nullptr, nullptr,
                                &startup, &info))
        return false;
    CloseProcessHandles(info);
    return true;
}

bool cWin32Processes::ShellExecuteRunAs(const std::string& file, const std::string& parameters, int show)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = "runas";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = show;
    return ShellExecuteExA(&info) != FALSE;
}

bool cWin32Processes::GetSystemDirectory(std::string& path)
{
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        UINT length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0)
            return false;
        // Too small: length is the size needed, terminating zero included.
        if (length >= buffer.size()) {
            buffer.resize(length + 1);
            continue;
        }
        path.assign(buffer.data(), length);
        return true;
    }
}

bool cWin32Processes::HasGetProductInfo()
{
    using tGetProductInfo = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, PDWORD);
    return LookUpProcedure<tGetProductInfo>("kernel32", "GetProductInfo") != nullptr;
}

bool cWin32Processes::GetProcessIntegrityLevel(uint32_t& level)
{
    cScopedHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, GetCurrentProcessId()));
    if (process.Get() == nullptr)
        return false;
    cScopedHandle token;
    if (!OpenProcessToken(process.Get(), TOKEN_QUERY, token.Receive()))
        return false;
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenIntegrityLevel, nullptr, 0, &size);
    if (size == 0)
        return false;
    // DWORD-aligned storage for the label and the SID behind it.
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    if (!GetTokenInformation(token.Get(), TokenIntegrityLevel, buffer.data(), size, &size))
        return false;
    PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    if (count == 0) {
        SetLastError(ERROR_INVALID_SID);
        return false;
    }
    level = *GetSidSubAuthority(sid, count - 1);
    return true;
}
