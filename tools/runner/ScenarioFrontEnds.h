#pragma once
#include <string>
#include <vector>

#include "platform/Windowing.h"

class cScenarioMediaCenterWindow;
class cSimWindows;

// Media Center's front-end as the scenarios play it around the sleep: its
// tray applet, which answers the navigation message, and how its window
// answers a request to close. Owned by the scenario player.
class cScenarioFrontEnds {
public:
    // Both must outlive this object.
    cScenarioFrontEnds(cSimWindows& sim, cScenarioMediaCenterWindow& window) : Sim(sim), Window(window) {}

    // "mctray ..." and "mcclose ..."; false when the verb is neither.
    bool Command(const std::vector<std::string>& words);
    // "expect mcwindow ..." and "expect mcpages ..."; false when the subject
    // is neither. failure is set when the expectation does not hold.
    bool Expect(const std::vector<std::string>& words, std::string& failure);

private:
    void StartTrayApplet();

    cSimWindows& Sim;
    cScenarioMediaCenterWindow& Window;
    WindowHandle TrayWindow = 0;
    // The page codes the applet received since the last expectation.
    std::vector<int> Pages;
};
