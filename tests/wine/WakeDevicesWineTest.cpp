// The wake-device list on the real Windows backend: the powercfg.exe
// stand-in answers as scripted, and slhwakedevices shows what the list made
// of it and which commands it ran.
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

constexpr auto RUN_TIMEOUT = 60s;

}  // namespace

// CR LF, "NONE", a duplicate and a last name without its line feed, then a
// name with blanks armed through powercfg, and a device Windows does not let
// the user change.
TEST_F(cSlumberholdWineTest, WakeDevicesAreReadFromPowercfgAndArmedByTheirQuotedNames)
{
    Powercfg().SetScript(
        "/devicequery wake_programmable\t0\t0\tHID Keyboard Device\\r\\nMicrosoft eHome Infrared "
        "Transceiver\\r\\nHID Keyboard Device\\r\\nHalf a line\n"
        "/devicequery wake_armed\t0\t0\tNONE\\r\\nMicrosoft eHome Infrared Transceiver\\r\\n\n");
    cBoxWatcher& boxes = WatchMessageBoxes();

    cRunResult run = RunHelper("slhwakedevices.exe", {"list"}, RUN_TIMEOUT);
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(TextLines(run.Output),
              (std::vector<std::string>{"loaded=1", "count=2", "device=HID Keyboard Device|armed=0",
                                        "device=Microsoft eHome Infrared Transceiver|armed=1"}));

    run = RunHelper("slhwakedevices.exe", {"set", "HID Keyboard Device", "1"}, RUN_TIMEOUT);
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(TextLines(run.Output), std::vector<std::string>{"listed=1"});
    run = RunHelper("slhwakedevices.exe", {"set", "PS/2 Keyboard", "1"}, RUN_TIMEOUT);
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(TextLines(run.Output), std::vector<std::string>{"listed=0"});

    EXPECT_EQ(Powercfg().Runs(),
              (std::vector<std::string>{"/devicequery wake_programmable", "/devicequery wake_armed",
                                        "/devicequery wake_programmable",
                                        "/deviceenablewake \"HID Keyboard Device\"",
                                        "/devicequery wake_programmable"}));
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), std::vector<cBoxRecord>{});
}

// Missing, failing or hanging past the 15 s wait: no devices, no box.
TEST_F(cSlumberholdWineTest, WakeDevicesOfAPowercfgThatIsMissingFailsOrHangsAreNone)
{
    struct cCase {
        std::string What;
        std::string Script;  // empty: no powercfg.exe at all
    };
    const cCase cases[] = {
        {"fails", "*\t5\t0\tAccess denied.\\r\\n\n"},
        {"hangs", "/devicequery wake_programmable\t0\t25000\tHID Keyboard Device\\r\\n\n"},
        {"missing", ""},
    };
    cBoxWatcher& boxes = WatchMessageBoxes();
    for (const cCase& test : cases) {
        SCOPED_TRACE(test.What);
        if (test.Script.empty())
            Powercfg().Remove();
        else
            Powercfg().SetScript(test.Script);
        const auto start = std::chrono::steady_clock::now();
        const cRunResult run = RunHelper("slhwakedevices.exe", {"list"}, RUN_TIMEOUT);
        ASSERT_TRUE(run.Finished);
        EXPECT_EQ(TextLines(run.Output), (std::vector<std::string>{"loaded=1", "count=0"}));
        if (test.What == "hangs") {
            const auto waited = std::chrono::steady_clock::now() - start;
            EXPECT_GE(waited, 15s);
            EXPECT_LT(waited, 25s);
        }
    }
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), std::vector<cBoxRecord>{});
}
