// The wake-device list on the simulator: powercfg.exe's queries and
// commands and the reading of its output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "osconfig/WakeDevice.h"
#include "platform/sim/SimWindows.h"

namespace {

constexpr const char* PROGRAMMABLE = "/devicequery wake_programmable";
constexpr const char* ARMED = "/devicequery wake_armed";

class WakeDevices : public ::testing::Test {
protected:
    // powercfg.exe answers the query with the output, ending after runTime.
    void Answer(const char* query, const std::string& output, uint32_t exitCode = 0, uint64_t runTime = 100)
    {
        Sim.Processes().AddProgram({query, exitCode, runTime, output, 0});
    }
    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int index = 0; index < List.GetDeviceCount(); ++index)
            names.push_back(List.GetDevice(index)->GetName() + (List.GetDevice(index)->IsArmed() ? " (armed)" : ""));
        return names;
    }

    cSimWindows Sim;
    cWakeDeviceList List{Sim.Get()};
};

TEST(PowercfgOutput, LinesEndAtLineFeedsWithoutCarriageReturnsOrEmptyLines)
{
    struct cCase {
        const char* Output;
        std::vector<std::string> Lines;
    };
    const cCase cases[] = {
        {"", {}},
        {"NONE\n", {"NONE"}},
        {"HID Keyboard Device\r\nMicrosoft eHome Infrared Transceiver\r\n",
         {"HID Keyboard Device", "Microsoft eHome Infrared Transceiver"}},
        {"\r\n\nA\n\r\nB\r\r\n", {"A", "B"}},
        {"A\nB without line feed", {"A"}},
        {"no line feed at all", {}},
    };
    for (const cCase& c : cases)
        EXPECT_EQ(ParsePowercfgLines(c.Output), c.Lines) << c.Output;
}

TEST_F(WakeDevices, RefreshListsTheProgrammableDevicesOnceEachInPowercfgsOrder)
{
    EXPECT_TRUE(List.IsNotYetLoaded());
    EXPECT_EQ(List.GetDeviceCount(), 0);
    Answer(PROGRAMMABLE, "HID Keyboard Device\r\nRealtek PCIe GBE Family Controller\r\nHID Keyboard Device\r\n"
                         "Half a line");
    EXPECT_TRUE(List.Refresh());
    EXPECT_FALSE(List.IsNotYetLoaded());
    EXPECT_EQ(Names(), (std::vector<std::string>{"HID Keyboard Device", "Realtek PCIe GBE Family Controller"}));
    EXPECT_TRUE(List.GetDevice(1)->IsProgrammable());
    EXPECT_EQ(List.GetDevice(2), nullptr);
    EXPECT_EQ(List.GetDevice(-1), nullptr);
    EXPECT_EQ(List.FindDevice("hid keyboard device"), nullptr);

    // The query: hidden, through the shell, output captured, waited for.
    ASSERT_EQ(Sim.Processes().Launches().size(), 1u);
    const std::string& line = Sim.Processes().Launches()[0].CommandLine;
    EXPECT_NE(line.find("\"powercfg.exe\" /devicequery wake_programmable >"), std::string::npos) << line;
    EXPECT_EQ(Sim.Processes().Launches()[0].Show, SHOW_HIDE);

    // A second refresh starts over instead of adding.
    EXPECT_TRUE(List.Refresh());
    EXPECT_EQ(List.GetDeviceCount(), 2);
}

TEST_F(WakeDevices, NoneGivesAnEmptyLoadedList)
{
    Answer(PROGRAMMABLE, "NONE\r\n");
    EXPECT_TRUE(List.Refresh());
    EXPECT_FALSE(List.IsNotYetLoaded());
    EXPECT_EQ(List.GetDeviceCount(), 0);
}

TEST_F(WakeDevices, RefreshArmedMarksExactlyTheListedDevices)
{
    Answer(PROGRAMMABLE, "Keyboard\nNetwork adapter\nIR receiver\n");
    Answer(ARMED, "Network adapter\r\nMouse\r\nNONE\r\nIR receiver");
    List.Refresh();
    List.GetDevice(0)->SetArmedFlag(true);
    List.RefreshArmed();
    // The IR receiver's line has no line feed; the mouse is not listed.
    EXPECT_EQ(Names(), (std::vector<std::string>{"Keyboard", "Network adapter (armed)", "IR receiver"}));
}

// Missing, failing and hanging: no devices, no box, at most 15 s per query.
TEST_F(WakeDevices, APowercfgThatFailsOrHangsYieldsNoDevices)
{
    struct cCase {
        const char* Name;
        cSimProgram Program;
    };
    const cCase cases[] = {
        {"missing", {"powercfg", 9009, 50, "'powercfg.exe' is not recognized as an internal or external command,\r\n", 0}},
        {"fails", {"powercfg", 1, 50, "Access denied.\r\n", 0}},
        {"hangs", {"powercfg", 0, 60000, "Keyboard\r\n", 0}},
        {"no shell", {"powercfg", 0, 0, "Keyboard\r\n", 2}},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cSimWindows sim;
        sim.Processes().AddProgram(c.Program);
        cWakeDeviceList list(sim.Get());
        const uint64_t start = sim.Clock().Now();
        EXPECT_TRUE(list.Refresh());
        EXPECT_EQ(list.GetDeviceCount(), 0);
        EXPECT_FALSE(list.IsNotYetLoaded());
        list.RefreshArmed();
        EXPECT_LE(sim.Clock().Now() - start, 2 * 15000u + 100);
        EXPECT_TRUE(sim.Dialogs().Shown().empty());
    }
}

TEST_F(WakeDevices, SetWakeEnabledQuotesTheNameAndSkipsFixedDevices)
{
    Answer(PROGRAMMABLE, "HID-compliant mouse (002)\n");
    Answer("/devicedisablewake", "", 0, 60000);
    List.Refresh();
    cWakeDevice* mouse = List.GetDevice(0);
    ASSERT_NE(mouse, nullptr);
    const size_t before = Sim.Processes().Launches().size();
    EXPECT_TRUE(mouse->SetWakeEnabled(true));
    const uint64_t start = Sim.Clock().Now();
    EXPECT_TRUE(mouse->SetWakeEnabled(false));
    // A hanging powercfg is given up after 15 s.
    EXPECT_GE(Sim.Clock().Now() - start, 15000u);
    EXPECT_LT(Sim.Clock().Now() - start, 15100u);
    ASSERT_EQ(Sim.Processes().Launches().size(), before + 2);
    // powercfg itself, hidden, so that cmd.exe cannot strip the quotes.
    const cSimLaunch& enable = Sim.Processes().Launches()[before];
    EXPECT_EQ(enable.Application, "C:\\Windows\\system32\\powercfg.exe");
    EXPECT_EQ(enable.CommandLine, "placeholder /deviceenablewake \"HID-compliant mouse (002)\"");
    EXPECT_EQ(enable.Show, SHOW_HIDE);
    EXPECT_EQ(Sim.Processes().Launches()[before + 1].CommandLine,
              "placeholder /devicedisablewake \"HID-compliant mouse (002)\"");
    EXPECT_FALSE(mouse->IsArmed());

    cWakeDevice fixed(Sim.Get(), "PS/2 Keyboard");
    EXPECT_TRUE(fixed.SetWakeEnabled(true));
    EXPECT_EQ(Sim.Processes().Launches().size(), before + 2);
}

}  // namespace
