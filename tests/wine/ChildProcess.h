#pragma once
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What to start: the program (looked up in PATH when it has no slash) with
// its arguments, the environment variables to set on top of this process's
// own, and where its output goes.
struct cLaunch {
    std::vector<std::string> Arguments;  // [0] is the program
    std::vector<std::pair<std::string, std::string>> Environment;
    std::string OutputFile;  // standard output; empty: /dev/null
    std::string ErrorFile;   // standard error; empty: /dev/null
    // Descriptors of this process the child keeps (all others are closed on
    // exec, as this harness opens everything close-on-exec).
    std::vector<int> InheritedDescriptors;
};

// A started program, in a process group of its own so that it is killed
// together with what it starts directly. The destructor kills it if it
// still runs, so no test leaves a process behind.
class cChildProcess {
public:
    // Throws std::runtime_error when the program cannot be started.
    explicit cChildProcess(const cLaunch& launch);
    ~cChildProcess();
    cChildProcess(const cChildProcess&) = delete;
    cChildProcess& operator=(const cChildProcess&) = delete;

    pid_t Pid() const { return Pid_; }
    // The exit code (128 + the signal number when a signal ended it), or
    // nothing when it still runs at the timeout; it is left running then.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    bool HasExited();
    // SIGTERM to the group, SIGKILL after the grace time; waits for the end.
    void Stop(std::chrono::milliseconds grace);
    void Kill();

private:
    bool Reap(bool block);

    pid_t Pid_ = -1;
    std::optional<int> ExitCode;
};

struct cRunResult {
    bool Finished = false;  // false: killed at the timeout
    int ExitCode = -1;
    std::string Output;     // standard output
};

// Runs a program to its end (killing it at the timeout) and collects its
// standard output. The output goes through a file, not a pipe: Wine starts
// long-lived processes that would inherit a pipe and keep it open.
cRunResult RunToEnd(cLaunch launch, std::chrono::milliseconds timeout);
