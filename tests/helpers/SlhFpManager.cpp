// FPManager.exe [PATH]
//
// Stands in for a front panel manager in the Wine tests: without an
// argument it does nothing and runs until it is killed (taskkill /F /IM
// FPManager.exe). With a PATH (a copy of itself, put where the program
// looks for the real one) it starts that copy without arguments and exits
// with 0, or with 1 when the copy could not be started.
#include <windows.h>

#include <string>

int main(int argc, char** argv)
{
    if (argc == 2) {
        std::string commandLine = std::string("\"") + argv[1] + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
            return 1;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return 0;
    }
    for (;;)
        Sleep(INFINITE);
}
