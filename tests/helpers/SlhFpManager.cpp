// FPManager.exe [PATH]
//
// Stands in for a front panel manager in the Wine tests. Without an argument
// it shows itself to the tests as a hidden top-level window of class
// "SlhFpManagerStandIn" titled with its own path, and runs until it is
// killed (taskkill /F /IM FPManager.exe). With a PATH (a copy of itself, put
// where the program looks for the real one) it starts that copy without
// arguments and exits with 0, or with 1 when the copy could not be started.
#include <windows.h>

#include <string>

namespace {

constexpr const char* WINDOW_CLASS = "SlhFpManagerStandIn";

int StartCopy(const char* path)
{
    std::string commandLine = std::string("\"") + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2)
        return StartCopy(argv[1]);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = WINDOW_CLASS;
    if (!RegisterClassA(&windowClass))
        return 2;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    // Never shown: a window that appears would count as user input.
    if (!CreateWindowExA(0, WINDOW_CLASS, path, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                         windowClass.hInstance, nullptr))
        return 2;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
