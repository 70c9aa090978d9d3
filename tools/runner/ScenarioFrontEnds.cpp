#include "tools/runner/ScenarioFrontEnds.h"

#include <stdexcept>

#include "platform/sim/SimWindows.h"
#include "targets/MediaCenterContract.h"
#include "tools/runner/ScenarioActivity.h"

namespace {

std::string Joined(const std::vector<int>& pages)
{
    if (pages.empty())
        return "none";
    std::string text;
    for (int page : pages)
        text += (text.empty() ? "" : " ") + std::to_string(page);
    return text;
}

// "200ms", "2s" or a plain number of milliseconds.
int64_t ParseDelay(const std::string& word)
{
    size_t end = 0;
    const int64_t number = std::stoll(word, &end);
    const std::string unit = word.substr(end);
    if (unit.empty() || unit == "ms")
        return number;
    if (unit == "s")
        return number * 1000;
    throw std::runtime_error("bad delay '" + word + "'");
}

}  // namespace

bool cScenarioFrontEnds::Command(const std::vector<std::string>& words)
{
    const std::string& verb = words[0];
    if (verb == "mctray") {
        if (words.size() != 2 || words[1] != "start")
            throw std::runtime_error("the tray applet knows only 'mctray start'");
        StartTrayApplet();
        return true;
    }
    if (verb == "mcclose") {
        if (words.size() == 2 && words[1] == "ignore")
            Window.SetCloseDelay(cSimProgram::IGNORES_CLOSE);
        else if (words.size() == 3 && words[1] == "after")
            Window.SetCloseDelay(ParseDelay(words[2]));
        else
            throw std::runtime_error("mcclose takes 'after <delay>' or 'ignore'");
        return true;
    }
    return false;
}

bool cScenarioFrontEnds::Expect(const std::vector<std::string>& words, std::string& failure)
{
    const std::string& subject = words[1];
    if (subject == "mcwindow") {
        const std::string& wanted = words[2];
        if (wanted != "open" && wanted != "closed")
            throw std::runtime_error("Media Center's window is open or closed, not '" + wanted + "'");
        const bool open = Window.IsOpen();
        if (open != (wanted == "open"))
            failure = std::string("Media Center's window is ") + (open ? "open" : "closed");
        return true;
    }
    if (subject == "mcpages") {
        std::vector<int> wanted;
        for (size_t i = 2; i < words.size(); ++i)
            if (words[i] != "none")
                wanted.push_back(std::stoi(words[i]));
        if (wanted != Pages)
            failure = "the tray applet was sent to pages " + Joined(Pages) + ", not " + Joined(wanted);
        Pages.clear();
        return true;
    }
    return false;
}

void cScenarioFrontEnds::StartTrayApplet()
{
    if (TrayWindow != 0)
        throw std::runtime_error("the tray applet runs already");
    cSimProgram applet;
    applet.RunTime = cSimProgram::RUNS_FOREVER;
    applet.WindowClass = MC_TRAY_WINDOW_CLASS;
    const WindowHandle foreground = Sim.Windowing().GetForegroundWindow();
    Sim.Processes().RunProgram(applet);
    TrayWindow = Sim.Windowing().FindWindow(MC_TRAY_WINDOW_CLASS, "");
    // The applet's window is hidden: the foreground stays where it was.
    if (foreground != 0)
        Sim.Windowing().SetForegroundWindow(foreground);
    const uint32_t navigate = Sim.Windowing().RegisterWindowMessage(MC_NAVIGATE_MESSAGE);
    Sim.Windowing().SetWindowAnswer(TrayWindow, [this, navigate](uint32_t message, uintptr_t wParam, intptr_t) {
        if (message != navigate)
            return intptr_t{0};
        Pages.push_back(static_cast<int>(wParam));
        // It starts Media Center when needed and opens the page.
        if (!Window.IsOpen())
            Window.Open(true, true);
        return intptr_t{1};
    });
}
