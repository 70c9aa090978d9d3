#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

constexpr auto POLL_INTERVAL = std::chrono::milliseconds(10);

std::vector<std::string> MergedEnvironment(const std::vector<std::pair<std::string, std::string>>& changes)
{
    std::vector<std::string> merged;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const auto& change : changes)
            replaced = replaced || change.first == name;
        if (!replaced)
            merged.push_back(text);
    }
    for (const auto& change : changes)
        merged.push_back(change.first + "=" + change.second);
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Runs in the forked child: only async-signal-safe calls from here on.
void RedirectOrDie(const char* path, int target, int errorPipe)
{
    const int fd = path[0] ? open(path, O_WRONLY | O_CREAT | O_APPEND, 0644) : open("/dev/null", O_WRONLY);
    if (fd < 0 || dup2(fd, target) < 0) {
        const int error = errno;
        (void)!write(errorPipe, &error, sizeof error);
        _exit(127);
    }
    close(fd);
}

}  // namespace

cChildProcess::cChildProcess(const cLaunch& launch)
{
    if (launch.Arguments.empty())
        throw std::runtime_error("cChildProcess: no program given");

    // Everything the child needs is built before fork: after it only
    // async-signal-safe calls are allowed.
    std::vector<std::string> arguments = launch.Arguments;
    std::vector<std::string> environment = MergedEnvironment(launch.Environment);
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(environment);
    const std::string output = launch.OutputFile;
    const std::string error = launch.ErrorFile;

    // The child reports a failed exec through this pipe; a successful exec
    // closes it (close-on-exec), which the parent reads as end of file.
    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("cChildProcess: pipe failed");

    Pid_ = fork();
    if (Pid_ < 0) {
        close(errorPipe[0]);
        close(errorPipe[1]);
        throw std::runtime_error("cChildProcess: fork failed");
    }
    if (Pid_ == 0) {
        setpgid(0, 0);
        const int in = open("/dev/null", O_RDONLY);
        if (in >= 0)
            dup2(in, 0);
        RedirectOrDie(output.c_str(), 1, errorPipe[1]);
        RedirectOrDie(error.c_str(), 2, errorPipe[1]);
        for (int fd : launch.InheritedDescriptors)
            fcntl(fd, F_SETFD, 0);
        execvpe(argv[0], argv.data(), envp.data());
        const int code = errno;
        (void)!write(errorPipe[1], &code, sizeof code);
        _exit(127);
    }
    // Also set here, so that a kill of the group right after the start
    // cannot miss the child.
    setpgid(Pid_, Pid_);
    close(errorPipe[1]);
    int childError = 0;
    ssize_t got;
    do {
        got = read(errorPipe[0], &childError, sizeof childError);
    } while (got < 0 && errno == EINTR);
    close(errorPipe[0]);
    if (got > 0) {
        Reap(true);
        throw std::runtime_error("cannot start " + launch.Arguments[0] + ": " + std::strerror(childError));
    }
}

cChildProcess::~cChildProcess()
{
    Kill();
}

bool cChildProcess::Reap(bool block)
{
    if (ExitCode)
        return true;
    int status = 0;
    pid_t done;
    do {
        done = waitpid(Pid_, &status, block ? 0 : WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done == 0)
        return false;
    if (done < 0)
        ExitCode = -1;  // not our child any more; nothing left to wait for
    else
        ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

bool cChildProcess::HasExited()
{
    return Reap(false);
}

std::optional<int> cChildProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!Reap(false)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(POLL_INTERVAL);
    }
    return ExitCode;
}

void cChildProcess::Stop(std::chrono::milliseconds grace)
{
    if (HasExited())
        return;
    kill(-Pid_, SIGTERM);
    if (!WaitForExit(grace))
        Kill();
}

void cChildProcess::Kill()
{
    if (HasExited())
        return;
    kill(-Pid_, SIGKILL);
    kill(Pid_, SIGKILL);
    Reap(true);
}

cRunResult RunToEnd(cLaunch launch, std::chrono::milliseconds timeout)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/slh-output-XXXXXX";
    const int fd = mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("RunToEnd: cannot create an output file");
    close(fd);
    launch.OutputFile = path;

    cRunResult result;
    try {
        cChildProcess process(launch);
        if (std::optional<int> code = process.WaitForExit(timeout)) {
            result.Finished = true;
            result.ExitCode = *code;
        }
    } catch (...) {
        unlink(path.c_str());
        throw;
    }
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    result.Output = text.str();
    unlink(path.c_str());
    return result;
}
