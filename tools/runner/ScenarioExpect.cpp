// The expectations of a scenario: what the log, the window, the machine and
// the settings must show at that moment. An unmet one is a failure of the
// line; the scenario plays on.
#include <sstream>
#include <stdexcept>

#include "foundation/Settings.h"
#include "shell/MainWindow.h"
#include "tools/runner/Scenario.h"

namespace {

// The number of log lines that contain the text.
size_t LinesWith(const std::string& log, const std::string& text)
{
    size_t count = 0;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line))
        count += line.find(text) != std::string::npos ? 1 : 0;
    return count;
}

}  // namespace

void cScenarioPlayer::Expect(const tWords& words)
{
    const std::string& subject = words[1];
    const std::string wanted = Unquote(words[2]);
    std::string failure;
    if (FrontEnds.Expect(words, failure) || PowerActions.Expect(words, failure)) {
        if (!failure.empty())
            Fail(failure);
        return;
    }
    if (subject == "log" && words.size() > 3) {
        const size_t times = ParseNumber(words[3]);
        const size_t found = LinesWith(LogText(), wanted);
        if (found != times)
            Fail("log holds \"" + wanted + "\" " + std::to_string(found) + " times, not " +
                             std::to_string(times));
    } else if (subject == "log" || subject == "nolog") {
        const bool found = LogText().find(wanted) != std::string::npos;
        if (found != (subject == "log"))
            Fail((found ? "log holds \"" : "log lacks \"") + wanted + "\"");
    } else if (subject == "title") {
        const std::string title = App ? Sim.Windowing().GetWindowText(App->Handle()) : "";
        if (title != wanted)
            Fail("title is \"" + title + "\", not \"" + wanted + "\"");
    } else if (subject == "visible") {
        const bool visible = App && Sim.Windowing().IsWindowVisible(App->Handle());
        if (visible != ParseYesNo(wanted))
            Fail(std::string("window is ") + (visible ? "visible" : "hidden"));
    } else if (subject == "asleep") {
        const bool asleep = Sim.Sleep().IsAsleep();
        if (asleep != ParseYesNo(wanted))
            Fail(std::string("machine is ") + (asleep ? "asleep" : "awake"));
    } else if (subject == "running") {
        if ((App != nullptr) != ParseYesNo(wanted))
            Fail(std::string("program is ") + (App ? "running" : "not running"));
    } else if (subject == "box") {
        if (words.size() < 4)
            throw std::runtime_error("expect box needs a caption and a text");
        bool shown = false;
        for (const cSimMessageBox& box : Sim.Dialogs().Shown())
            shown |= box.Caption == wanted && ShownText(box.Text) == Unquote(words[3]);
        if (!shown)
            Fail("no message box \"" + wanted + "\"");
    } else if (subject == "setting") {
        if (words.size() < 5)
            throw std::runtime_error("expect setting needs a hive, a name and a value");
        const eHive hive = ParseHive(words[2]);
        const std::string name = Unquote(words[3]);
        if (IsText(words[4])) {
            std::string value;
            if (!Sim.Registry().GetString(hive, SETTINGS_KEY, name, value) || value != Unquote(words[4]))
                Fail("setting " + name + " is \"" + value + "\"");
        } else {
            uint32_t value = 0;
            if (!Sim.Registry().GetDword(hive, SETTINGS_KEY, name, value) ||
                value != static_cast<uint32_t>(std::stoll(words[4], nullptr, 0)))
                Fail("setting " + name + " is " + std::to_string(value));
        }
    } else {
        throw std::runtime_error("unknown expectation '" + subject + "'");
    }
}
