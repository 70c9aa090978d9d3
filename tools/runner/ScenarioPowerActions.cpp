#include "tools/runner/ScenarioPowerActions.h"

#include <cstdio>
#include <stdexcept>

#include "platform/sim/SimWindows.h"
#include "targets/MediaCenterContract.h"

namespace {

size_t ParseCount(const std::string& word)
{
    size_t end = 0;
    const unsigned long count = std::stoul(word, &end);
    if (end != word.size())
        throw std::runtime_error("bad count '" + word + "'");
    return count;
}

}  // namespace

bool cScenarioPowerActions::Command(const std::vector<std::string>& words)
{
    if (words[0] != "date")
        return false;
    unsigned year = 0, month = 0, day = 0;
    if (words.size() != 2 || std::sscanf(words[1].c_str(), "%u-%u-%u", &year, &month, &day) != 3)
        throw std::runtime_error("date takes one date such as 2026-12-14");
    cLocalTime time = Sim.Clock().GetLocalTime();
    time.Year = static_cast<uint16_t>(year);
    time.Month = static_cast<uint16_t>(month);
    time.Day = static_cast<uint16_t>(day);
    Sim.Clock().SetLocalTime(time);
    return true;
}

bool cScenarioPowerActions::Expect(const std::vector<std::string>& words, std::string& failure)
{
    const std::string& subject = words[1];
    if (subject == "restarts") {
        if (words.size() != 4 || (words[2] != "receiver" && words[2] != "scheduler"))
            throw std::runtime_error("expect restarts receiver|scheduler COUNT");
        const std::string service = words[2] == "receiver" ? MC_RECEIVER_SERVICE : MC_SCHEDULER_SERVICE;
        const size_t wanted = ParseCount(words[3]);
        const size_t seen = Restarts(service);
        if (seen != wanted)
            failure = "\"" + service + "\" restarted " + std::to_string(seen) + " times, not " +
                      std::to_string(wanted);
        return true;
    }
    if (subject == "reboots") {
        if (words.size() != 3)
            throw std::runtime_error("expect reboots COUNT");
        const size_t wanted = ParseCount(words[2]);
        const size_t seen = Sim.Security().ExitWindowsCalls().size();
        if (seen != wanted)
            failure = "the program started " + std::to_string(seen) + " forced reboots, not " +
                      std::to_string(wanted);
        return true;
    }
    return false;
}

size_t cScenarioPowerActions::Restarts(const std::string& service)
{
    // A restart is a stop of the service through net.exe followed by its start.
    const std::string stop = "\"net.exe\" stop \"" + service + "\"";
    const std::string start = "\"net.exe\" start \"" + service + "\"";
    size_t restarts = 0;
    bool stopped = false;
    for (const cSimLaunch& launch : Sim.Processes().Launches()) {
        if (launch.CommandLine.find(stop) != std::string::npos) {
            stopped = true;
        } else if (stopped && launch.CommandLine.find(start) != std::string::npos) {
            ++restarts;
            stopped = false;
        }
    }
    return restarts;
}
