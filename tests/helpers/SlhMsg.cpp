// slhmsg CLASS TITLE COMMAND [ARGUMENTS...]
//
// Talks to a top-level window of another process for the Wine tests.
// CLASS or TITLE may be "" to match any. Commands:
//   send MSG WPARAM LPARAM   SendMessageTimeout; prints the result in decimal
//   post MSG WPARAM LPARAM   PostMessage
//   powersetting GUID DATA   sends WM_POWERBROADCAST with PBT_POWERSETTINGCHANGE
//                            and a POWERBROADCAST_SETTING record; prints the
//                            result in decimal (see below)
//   visible                  prints 1 or 0
//   topmost                  prints 1 or 0 (WS_EX_TOPMOST)
//   title                    prints the window text
//   wait SECONDS             exit 0 once the window exists, 1 on timeout
//   gone SECONDS             exit 0 once the window is gone, 1 on timeout
//   tray EVENT               sends the tray icon's callback message (0x87CD)
//                            with the mouse event (0x0203 double click,
//                            0x0205 right-button release) as lParam and
//                            prints the result; the call returns once the
//                            handler has (a menu keeps it until closed)
//   windows                  lists the matching top-level windows with their
//                            process ids (see EngineStatusCommands.h)
//   status                   prints the engine status block's fields
//   fakeengine VERSION SECS  plays an engine whose block has that version
// Numbers are decimal or 0x hexadecimal. Exit codes: see eExit below.
//
// powersetting: the lParam of PBT_POWERSETTINGCHANGE points to the record,
// and a pointer into this process would mean nothing to the receiver. So
// the record (the GUID, DataLength and the data bytes) is built here and
// copied into the window's own process (VirtualAllocEx + WriteProcessMemory,
// see cRemoteBlock); the message carries that address, and the block is
// freed once SendMessageTimeout has returned. After a timeout the receiver
// may still read it later, so it is left allocated then.
//   GUID  "{98A7F580-01F7-48AA-9C0F-44352C29E5C0}" (the braces are
//         optional), or "null" for a message whose lParam is 0 (DATA "-").
//   DATA  the data bytes in memory order as hexadecimal digits, two per byte
//         ("01000000" is the DWORD 1), or "-" for a record with DataLength 0.
#include "EngineStatusCommands.h"
#include "NumberArg.h"
#include "RemoteBlock.h"
#include "TargetWindow.h"

#include <cstddef>
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
constexpr UINT TRAY_CALLBACK = 0x87CD;

constexpr const char* NULL_RECORD = "null";
constexpr const char* NO_DATA = "-";

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

// Prints the window procedure's result. When the message did not come back
// in time, the receiver may still read the block it points to: keep it.
int SendAndPrint(cTargetWindow& window, UINT message, WPARAM wParam, LPARAM lParam, cRemoteBlock* block)
{
    LRESULT result = 0;
    if (!window.Send(message, wParam, lParam, SEND_TIMEOUT_MS, result)) {
        std::fprintf(stderr, "slhmsg: SendMessageTimeout failed, error %lu\n", GetLastError());
        if (block != nullptr)
            block->Keep();
        return EXIT_FAILED;
    }
    std::printf("%lld\n", static_cast<long long>(result));
    return EXIT_DONE;
}

int RunSend(cTargetWindow& window, const cArguments& args)
{
    cMessage message;
    if (!ParseMessage(args, message))
        return EXIT_USAGE;
    return SendAndPrint(window, message.Message, message.WParam, message.LParam, nullptr);
}

int RunPost(cTargetWindow& window, const cArguments& args)
{
    cMessage message;
    if (!ParseMessage(args, message))
        return EXIT_USAGE;
    return window.Post(message.Message, message.WParam, message.LParam) ? EXIT_DONE : EXIT_FAILED;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Hexadecimal digits, two per byte, into the bytes.
bool ParseHexBytes(const std::string& text, std::string& bytes)
{
    if (text.size() % 2 != 0)
        return false;
    bytes.clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes += static_cast<char>(high * 16 + low);
    }
    return true;
}

// The value of the `count` hexadecimal digits from text[begin] on.
bool ParseHexNumber(const std::string& text, size_t begin, size_t count, unsigned long& value)
{
    value = 0;
    for (size_t i = begin; i < begin + count; ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<unsigned long>(digit);
    }
    return true;
}

// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", with or without braces.
bool ParseGuid(std::string text, GUID& guid)
{
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return false;
    unsigned long part = 0;
    if (!ParseHexNumber(text, 0, 8, part))
        return false;
    guid.Data1 = part;
    if (!ParseHexNumber(text, 9, 4, part))
        return false;
    guid.Data2 = static_cast<unsigned short>(part);
    if (!ParseHexNumber(text, 14, 4, part))
        return false;
    guid.Data3 = static_cast<unsigned short>(part);
    const size_t byteStarts[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i) {
        if (!ParseHexNumber(text, byteStarts[i], 2, part))
            return false;
        guid.Data4[i] = static_cast<unsigned char>(part);
    }
    return true;
}

// The POWERBROADCAST_SETTING record: the GUID, DataLength and the data,
// which starts where the structure's one-byte Data array is.
std::string PowerSettingRecord(const GUID& setting, const std::string& data)
{
    POWERBROADCAST_SETTING header = {};
    header.PowerSetting = setting;
    header.DataLength = static_cast<DWORD>(data.size());
    std::string record(reinterpret_cast<const char*>(&header), offsetof(POWERBROADCAST_SETTING, Data));
    return record + data;
}

int RunPowerSetting(cTargetWindow& window, const cArguments& args)
{
    if (args[0] == NULL_RECORD) {
        if (args[1] != NO_DATA) {
            std::fprintf(stderr, "slhmsg: a null record takes no data (\"%s\")\n", NO_DATA);
            return EXIT_USAGE;
        }
        return SendAndPrint(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0, nullptr);
    }
    GUID setting = {};
    if (!ParseGuid(args[0], setting)) {
        std::fprintf(stderr, "slhmsg: not a GUID: %s\n", args[0].c_str());
        return EXIT_USAGE;
    }
    std::string data;
    if (args[1] != NO_DATA && !ParseHexBytes(args[1], data)) {
        std::fprintf(stderr, "slhmsg: not hexadecimal bytes: %s\n", args[1].c_str());
        return EXIT_USAGE;
    }
    cRemoteBlock block(window.Handle(), PowerSettingRecord(setting, data));
    if (block.Address() == nullptr) {
        std::fprintf(stderr, "slhmsg: no record in the window's process: %s\n", block.Error().c_str());
        return EXIT_FAILED;
    }
    return SendAndPrint(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                        reinterpret_cast<LPARAM>(block.Address()), &block);
}

int RunVisible(cTargetWindow& window, const cArguments&)
{
    std::printf("%d\n", window.IsVisible() ? 1 : 0);
    return EXIT_DONE;
}

int RunTopmost(cTargetWindow& window, const cArguments&)
{
    const LONG_PTR style = GetWindowLongPtrA(window.Handle(), GWL_EXSTYLE);
    std::printf("%d\n", (style & WS_EX_TOPMOST) != 0 ? 1 : 0);
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

int RunTray(cTargetWindow& window, const cArguments& args)
{
    long long event = 0;
    if (!ParseInteger(args[0], event)) {
        std::fprintf(stderr, "slhmsg: not a number: %s\n", args[0].c_str());
        return EXIT_USAGE;
    }
    return SendAndPrint(window, TRAY_CALLBACK, 0, static_cast<LPARAM>(event), nullptr);
}

int RunWindows(cTargetWindow& window, const cArguments&)
{
    return RunListWindows(window.ClassName(), window.Title());
}

int RunStatusCommand(cTargetWindow&, const cArguments& args)
{
    return RunStatus(args);
}

int RunFakeEngineCommand(cTargetWindow&, const cArguments& args)
{
    return RunFakeEngine(args);
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
    {"powersetting", 2, true, RunPowerSetting},
    {"visible", 0, true, RunVisible},
    {"topmost", 0, true, RunTopmost},
    {"title", 0, true, RunTitle},
    {"wait", 1, false, RunWait},
    {"gone", 1, false, RunGone},
    {"tray", 1, true, RunTray},
    {"windows", 0, false, RunWindows},
    {"status", 0, false, RunStatusCommand},
    {"fakeengine", 2, false, RunFakeEngineCommand},
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
