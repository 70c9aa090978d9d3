#include "WindowMessenger.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// slhmsg's exit codes.
constexpr int SLHMSG_DONE = 0;
// slhmsg's words for a power-setting message without a record and a record
// without data.
constexpr const char* NULL_RECORD = "null";
constexpr const char* NO_DATA = "-";

// On top of a command's own wait: the start of a Wine process, and the
// 10 seconds slhmsg allows a window to answer a sent message.
constexpr auto RUN_MARGIN = std::chrono::seconds(20);

std::string Hex(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

std::string Seconds(std::chrono::milliseconds timeout)
{
    return std::to_string(timeout.count() / 1000.0);
}

std::string FirstLine(const std::string& output)
{
    std::string line = output.substr(0, output.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

}  // namespace

cWindowMessenger::cWindowMessenger(const cWine& wine, std::string slhmsgPath)
    : Wine(wine), SlhmsgPath(std::move(slhmsgPath))
{
}

cRunResult cWindowMessenger::Run(const cWindowName& window, std::vector<std::string> command,
                                 std::chrono::milliseconds timeout) const
{
    std::vector<std::string> arguments = {SlhmsgPath, window.Class, window.Title};
    arguments.insert(arguments.end(), command.begin(), command.end());
    return Wine.Run(std::move(arguments), timeout + RUN_MARGIN);
}

bool cWindowMessenger::WaitUntilPresent(const cWindowName& window, std::chrono::milliseconds timeout) const
{
    const cRunResult result = Run(window, {"wait", Seconds(timeout)}, timeout);
    return result.Finished && result.ExitCode == SLHMSG_DONE;
}

bool cWindowMessenger::WaitUntilGone(const cWindowName& window, std::chrono::milliseconds timeout) const
{
    const cRunResult result = Run(window, {"gone", Seconds(timeout)}, timeout);
    return result.Finished && result.ExitCode == SLHMSG_DONE;
}

std::optional<int64_t> cWindowMessenger::Send(const cWindowName& window, uint32_t message, uint64_t wParam,
                                              int64_t lParam) const
{
    return RunForResult(window, {"send", Hex(message), Hex(wParam), Hex(static_cast<uint64_t>(lParam))});
}

std::optional<int64_t> cWindowMessenger::SendPowerSetting(const cWindowName& window, const std::string& guid,
                                                          const std::string& hexData) const
{
    return RunForResult(window, {"powersetting", guid, hexData.empty() ? NO_DATA : hexData});
}

std::optional<int64_t> cWindowMessenger::SendNullPowerSetting(const cWindowName& window) const
{
    return RunForResult(window, {"powersetting", NULL_RECORD, NO_DATA});
}

std::optional<int64_t> cWindowMessenger::RunForResult(const cWindowName& window,
                                                      std::vector<std::string> command) const
{
    const cRunResult result = Run(window, std::move(command), std::chrono::milliseconds(0));
    if (!result.Finished || result.ExitCode != SLHMSG_DONE)
        return std::nullopt;
    const std::string line = FirstLine(result.Output);
    char* end = nullptr;
    const long long value = std::strtoll(line.c_str(), &end, 10);
    if (line.empty() || *end != '\0')
        return std::nullopt;
    return value;
}

bool cWindowMessenger::Post(const cWindowName& window, uint32_t message, uint64_t wParam, int64_t lParam) const
{
    const cRunResult result = Run(window, {"post", Hex(message), Hex(wParam), Hex(static_cast<uint64_t>(lParam))},
                                  std::chrono::milliseconds(0));
    return result.Finished && result.ExitCode == SLHMSG_DONE;
}

std::optional<bool> cWindowMessenger::ReadFlag(const cWindowName& window, const std::string& command) const
{
    const cRunResult result = Run(window, {command}, std::chrono::milliseconds(0));
    if (!result.Finished || result.ExitCode != SLHMSG_DONE)
        return std::nullopt;
    const std::string line = FirstLine(result.Output);
    if (line != "0" && line != "1")
        return std::nullopt;
    return line == "1";
}

std::optional<bool> cWindowMessenger::IsVisible(const cWindowName& window) const
{
    return ReadFlag(window, "visible");
}

std::optional<bool> cWindowMessenger::IsTopmost(const cWindowName& window) const
{
    return ReadFlag(window, "topmost");
}

std::optional<std::string> cWindowMessenger::Title(const cWindowName& window) const
{
    const cRunResult result = Run(window, {"title"}, std::chrono::milliseconds(0));
    if (!result.Finished || result.ExitCode != SLHMSG_DONE)
        return std::nullopt;
    return FirstLine(result.Output);
}
