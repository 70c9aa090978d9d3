// The main job: plays a scenario of a home-theatre night on the simulated
// Windows and prints the log the program wrote.
#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/runner/Scenario.h"

int main(int argc, char** argv)
{
    std::string script = DEFAULT_SCENARIO;
    if (argc > 1) {
        std::ifstream file(argv[1]);
        if (!file) {
            std::cerr << "cannot read " << argv[1] << "\n";
            return 2;
        }
        std::ostringstream text;
        text << file.rdbuf();
        script = text.str();
    }
    cScenarioPlayer player;
    player.Play(script);
    player.Finish();
    player.Report(std::cout);
    for (const std::string& failure : player.Failures())
        std::cerr << "scenario: " << failure << "\n";
    return player.Failures().empty() ? 0 : 1;
}
