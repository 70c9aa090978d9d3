// slhmsg CLASS TITLE COMMAND [ARGUMENTS...]
//
// Talks to a top-level window of another process for the Wine tests.
// CLASS or TITLE may be "" to match any. Commands:
//   send MSG WPARAM LPARAM   SendMessageTimeout; prints the result in decimal
//   post MSG WPARAM LPARAM   PostMessage
//   visible                  prints 1 or 0
//   title                    prints the window text
//   wait SECONDS             exit 0 once the window exists, 1 on timeout
//   gone SECONDS             exit 0 once the window is gone, 1 on timeout
// Numbers are decimal or 0x hexadecimal. Exit codes: see eExit below.
#include "NumberArg.h"
#include "TargetWindow.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

enum eExit : int {
    EXIT_DONE = 0,
    EXIT_TIMEOUT = 1,
    EXIT_NOT_FOUND = 2,
    EXIT_USAGE = 3,
    EXIT_FAILED = 4,  // the message could not be delivered
};

constexpr DWORD SEND_TIMEOUT_MS = 10000;

using cArguments = std::vector<std::string>;

struct cMessage {
    UINT Message = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
};

bool ParseMessage(const cArguments& args, cMessage& message)
{
    long long number[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (!ParseInteger(args[i], number[i])) {
            std::fprintf(stderr, "slhmsg: not a number: %s\n", args[i].c_str());
            return false;
        }
    }
    message.Message = static_cast<UINT>(number[0]);
    message.WParam = static_cast<WPARAM>(number[1]);
    message.LParam = static_cast<LPARAM>(number[2]);
    return true;
}

bool ParseTimeout(const std::string& text, DWORD& milliseconds)
{
    double seconds = 0;
    if (!ParseSeconds(text, seconds)) {
        std::fprintf(stderr, "slhmsg: not a number of seconds: %s\n", text.c_str());
        return false;
    }
    milliseconds = static_cast<DWORD>(seconds * 1000.0);
    return true;
}

int RunSend(cTargetWindow& window, const cArguments& args)
{
    cMessage message;
    if (!ParseMessage(args, message))
        return EXIT_USAGE;
    LRESULT result = 0;
    if (!window.Send(message.Message, message.WParam, message.LParam, SEND_TIMEOUT_MS, result)) {
        std::fprintf(stderr, "slhmsg: SendMessageTimeout failed, error %lu\n", GetLastError());
        return EXIT_FAILED;
    }
    std::printf("%lld\n", static_cast<long long>(result));
    return EXIT_DONE;
}

int RunPost(cTargetWindow& window, const cArguments& args)
{
    cMessage message;
    if (!ParseMessage(args, message))
        return EXIT_USAGE;
    return window.Post(message.Message, message.WParam, message.LParam) ? EXIT_DONE : EXIT_FAILED;
}

int RunVisible(cTargetWindow& window, const cArguments&)
{
    std::printf("%d\n", window.IsVisible() ? 1 : 0);
    return EXIT_DONE;
}

int RunTitle(cTargetWindow& window, const cArguments&)
{
    std::printf("%s\n", window.Text().c_str());
    return EXIT_DONE;
}

int RunWait(cTargetWindow& window, const cArguments& args)
{
    DWORD timeout = 0;
    if (!ParseTimeout(args[0], timeout))
        return EXIT_USAGE;
    return window.WaitUntilPresent(timeout) ? EXIT_DONE : EXIT_TIMEOUT;
}

int RunGone(cTargetWindow& window, const cArguments& args)
{
    DWORD timeout = 0;
    if (!ParseTimeout(args[0], timeout))
        return EXIT_USAGE;
    return window.WaitUntilGone(timeout) ? EXIT_DONE : EXIT_TIMEOUT;
}

// One row per command. A command that needs data in the target's address
// space gets the window's process from Handle() and does its own work
// there; the lookup and exit-code rules stay here.
struct cCommand {
    const char* Name;
    size_t ArgumentCount;
    bool NeedsWindow;  // false: the command deals with a missing window itself
    int (*Run)(cTargetWindow& window, const cArguments& args);
};

constexpr cCommand COMMANDS[] = {
    {"send", 3, true, RunSend},
    {"post", 3, true, RunPost},
    {"visible", 0, true, RunVisible},
    {"title", 0, true, RunTitle},
    {"wait", 1, false, RunWait},
    {"gone", 1, false, RunGone},
};

int Usage()
{
    std::fprintf(stderr, "usage: slhmsg CLASS TITLE COMMAND [ARGUMENTS...]\n  commands:");
    for (const cCommand& command : COMMANDS)
        std::fprintf(stderr, " %s", command.Name);
    std::fprintf(stderr, "\n");
    return EXIT_USAGE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return Usage();
    const std::string name = argv[3];
    const cArguments args(argv + 4, argv + argc);

    for (const cCommand& command : COMMANDS) {
        if (name != command.Name)
            continue;
        if (args.size() != command.ArgumentCount)
            return Usage();
        cTargetWindow window(argv[1], argv[2]);
        if (command.NeedsWindow && !window.Find()) {
            std::fprintf(stderr, "slhmsg: no window of class \"%s\" titled \"%s\"\n", argv[1], argv[2]);
            return EXIT_NOT_FOUND;
        }
        const int exitCode = command.Run(window, args);
        std::fflush(stdout);
        return exitCode;
    }
    return Usage();
}
