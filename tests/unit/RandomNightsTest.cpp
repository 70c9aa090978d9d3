// Randomly generated nights on the simulator: each must keep the rules of
// sleep. A night that breaks one is printed as a scenario (and written to
// random-night-SEED.scn in the working folder), so that
// tools/run.sh random-night-SEED.scn replays it. SLH_NIGHT_SEED chooses the
// first seed and SLH_NIGHTS the number of nights.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "tests/unit/RandomNight.h"

namespace {

uint32_t FromEnvironment(const char* name, uint32_t fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? static_cast<uint32_t>(std::strtoul(value, nullptr, 0)) : fallback;
}

}  // namespace

TEST(RandomNights, KeepTheRulesOfSleep)
{
    const uint32_t first = FromEnvironment("SLH_NIGHT_SEED", 20261209);
    const uint32_t nights = FromEnvironment("SLH_NIGHTS", 1000);
    int broken = 0;
    for (uint32_t i = 0; i < nights && broken < 3; ++i) {
        const uint32_t seed = first + i;
        cRandomNight night(seed);
        night.Play();
        if (night.Violations().empty())
            continue;
        ++broken;
        const std::string file = "random-night-" + std::to_string(seed) + ".scn";
        std::ofstream(file) << night.Scenario();
        ADD_FAILURE() << "night " << seed << " (SLH_NIGHT_SEED=" << seed << " SLH_NIGHTS=1; written to " << file
                      << ") broke the rules:\n"
                      << night.Scenario();
    }
}
