#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr int SHOW_HIDE = 0;
constexpr int SHOW_NORMAL = 1;

// The running process and the programs it starts.
class cProcesses {
public:
    virtual ~cProcesses() = default;

    // The program's arguments, argument 0 (the program path) included.
    virtual std::vector<std::string> CommandLineArguments() = 0;
    // Starts a command line without waiting (WinExec); returns its result code
    // (above 31 on success).
    virtual uint32_t WinExec(const std::string& commandLine, int show) = 0;
};
