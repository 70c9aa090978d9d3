#include <gtest/gtest.h>

#include "shell/CommandLine.h"

namespace {

struct cSwitchCase {
    std::vector<std::string> Arguments;  // after argument 0
    bool HandlePowerEvents;
    bool EngineRole;
    bool ConfiguratorRole;
};

TEST(CommandLine, RolesFollowTheSwitchesFromLeftToRight)
{
    const cSwitchCase cases[] = {
        {{}, false, false, true},
        {{"ENGINE"}, true, true, false},
        {{"engine"}, true, true, false},
        {{"EngineX"}, true, true, false},
        {{"-ENGINE"}, false, false, true},
        {{"/ENGINE"}, false, false, true},
        {{"CONFIGURATOR"}, false, false, true},
        {{"TRAY"}, true, true, true},
        {{"ENGINE", "CONFIGURATOR"}, true, false, true},
        {{"CONFIGURATOR", "ENGINE"}, true, true, false},
        {{"TRAY", "ENGINE"}, true, true, false},
        {{"SPLIT", "LOG", "whatever"}, false, false, true},
    };
    for (const cSwitchCase& c : cases) {
        std::vector<std::string> arguments{"C:\\Slumberhold\\Slumberhold.exe"};
        arguments.insert(arguments.end(), c.Arguments.begin(), c.Arguments.end());
        const cRunFlags flags = ParseSwitches(arguments);
        SCOPED_TRACE(::testing::PrintToString(c.Arguments));
        EXPECT_EQ(flags.HandlePowerEvents, c.HandlePowerEvents);
        EXPECT_EQ(flags.EngineRole, c.EngineRole);
        EXPECT_EQ(flags.ConfiguratorRole, c.ConfiguratorRole);
    }
}

TEST(CommandLine, OptionSwitchesSetOnlyTheirFlag)
{
    const cRunFlags none = ParseSwitches({"x"});
    EXPECT_FALSE(none.DebugPages || none.IdlePage || none.NoRebootNotice || none.Installing);

    const cRunFlags all = ParseSwitches({"x", "debug", "IDLE", "noreboot", "INSTALLING"});
    EXPECT_TRUE(all.DebugPages && all.IdlePage && all.NoRebootNotice && all.Installing);
    EXPECT_FALSE(all.HandlePowerEvents);
    EXPECT_TRUE(all.ConfiguratorRole);
}

TEST(CommandLine, ArgumentZeroIsTestedToo)
{
    // A program copied to a name that begins with a switch takes that role.
    EXPECT_TRUE(ParseSwitches({"ENGINE.EXE"}).EngineRole);
    EXPECT_FALSE(ParseSwitches({"C:\\Program Files\\Slumberhold\\Slumberhold.exe"}).EngineRole);
}

}  // namespace
