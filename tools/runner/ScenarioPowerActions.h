#pragma once
#include <string>
#include <vector>

class cSimWindows;

// What the scenarios see of the engine's actions around the sleep that are
// not about the front-ends: the Media Center services restarted through
// net.exe, the forced reboots, and the calendar date that decides their
// periods. Owned by the scenario player.
//
//   date 2026-12-14               the calendar moves to this date at the same
//                                 time of day (the tick count runs on)
//   expect restarts receiver 1    how many times the program has restarted
//   expect restarts scheduler 0   that Media Center service (net.exe stop,
//                                 then start) since the scenario began
//   expect reboots 1              how many forced reboots it has started
class cScenarioPowerActions {
public:
    // sim must outlive this object.
    explicit cScenarioPowerActions(cSimWindows& sim) : Sim(sim) {}

    // "date ..."; false for any other verb.
    bool Command(const std::vector<std::string>& words);
    // "expect restarts ..." and "expect reboots ..."; false for any other
    // subject. failure is set when the expectation does not hold.
    bool Expect(const std::vector<std::string>& words, std::string& failure);

private:
    size_t Restarts(const std::string& service);

    cSimWindows& Sim;
};
