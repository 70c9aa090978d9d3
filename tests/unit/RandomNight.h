#pragma once
// A randomly generated night on a home-theatre PC, played on the simulator
// while it is generated, and the rules every night must keep. The night is
// written down as a scenario as it goes, so a night that breaks a rule can
// be replayed with the runner exactly as it played here.
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tools/runner/Scenario.h"

class cRandomNight {
public:
    explicit cRandomNight(uint32_t seed);

    void Play();

    const std::vector<std::string>& Violations() const { return Violations_; }
    // The night as a scenario file, with the broken rules as comments.
    std::string Scenario() const;

private:
    // What keeps the machine awake, as the night has set it up: each kept
    // with the virtual moment from which it holds without a break.
    struct cNetSession {
        bool Listed = false;
        bool Busy = false;
        uint64_t Since = 0;     // added or made busy
        uint64_t Activity = 0;  // its last activity (while not busy)
    };
    struct cActivity {
        std::map<int, uint64_t> Recordings;           // number: start
        std::map<std::string, int> Processes;         // name: instances
        std::optional<uint64_t> ListedSince;          // a listed program runs
        std::optional<uint64_t> HolderSince;          // the execution state is held
        uint32_t Held = 0;
        std::map<std::string, cNetSession> NetSessions;  // user: session
        std::map<std::string, bool> Rdp;              // user: connected
        std::map<int, bool> Extenders;                // number: connected
        bool McWindow = false;
        std::map<int, bool> McSessions;               // number: exists
    };
    // What the rules of an automatic or unattended wake need to know.
    struct cWake {
        uint64_t At = 0;
        bool Checked = false;  // the wake is sure to count as automatic
        bool Slept = false;    // the program has put the machine to sleep
        // The last moments each kind of activity ended during the wake.
        uint64_t RecordingEnd = 0, ListedEnd = 0, HolderEnd = 0, RdpEnd = 0, ExtenderEnd = 0, NetEnd = 0;
        bool RecordingSeen = false, RecordingMaybeSeen = false;
        bool Reported = false;  // a late sleep is reported once
    };

    void Setup();
    void PlayWake();
    void Step();
    void WindDown();
    void Do(const std::string& line);
    void CheckSleeps(const cActivity& before, const std::string& line);
    // Notes the end of activity that the rules of a wake wait for.
    void Ended(uint64_t& end);
    void CheckDeadline();
    void CheckLog();
    void Violation(const std::string& text);

    // The activity that forbids a sleep at this moment (held since at least
    // a moment before it); empty when none.
    std::string Blocker(const cActivity& activity, uint64_t moment, bool holderCounts) const;
    bool LastSleepWasMediaCenterIdle();
    bool NetSessionActive(const cNetSession& session, uint64_t moment) const;
    // The latest moment an automatic wake may last by the rules, or none
    // while something keeps it awake or the wake is not sure to count.
    std::optional<uint64_t> Deadline() const;

    uint64_t Now();
    uint32_t Pick(uint32_t count) { return static_cast<uint32_t>(Random() % count); }
    bool Chance(uint32_t percent) { return Pick(100) < percent; }
    std::string Seconds(uint64_t seconds) { return std::to_string(seconds) + "s"; }

    // Line handlers of the night that keep the model in step.
    void Wait(uint64_t seconds);
    void EndRecording(int number);
    void WakeUp();

    uint32_t Seed;
    std::mt19937 Random;
    cScenarioPlayer Player;
    std::vector<std::string> Lines;
    std::vector<std::string> Violations_;

    // The settings of the night.
    bool TreatUnattended = false, IgnoreSuspendBlock = true, ForceAway = true, Hibernate = false;
    uint32_t Grace = 360;
    uint32_t MceIdleTimeout = 1800;
    uint64_t Started = 0;

    cActivity Activity;
    // The activity as it was when the last line had been played.
    cActivity Settled;
    cWake Wake;
    bool AnyListedNetSession = false;
    size_t SleepsSeen = 0;
    size_t FailuresSeen = 0;
    int WakesLeft = 0;
};
