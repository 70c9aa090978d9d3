#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "detection/Cpu.h"
#include "platform/sim/SimWindows.h"

namespace {

constexpr const char* PROCESSOR_KEY = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

TEST(CPU, TheProcessorNameLosesThePaddingAroundIt)
{
    struct cCase {
        const char* Name;
        cRegistryValue Stored;  // Type 0: the value is missing
        std::string Expected;
    };
    const auto text = [](const std::string& s) {
        return cRegistryValue{REGTYPE_SZ, std::vector<uint8_t>(s.begin(), s.end())};
    };
    const cCase cases[] = {
        {"plain", text(std::string("AMD Athlon(tm) 64 X2\0", 21)), "AMD Athlon(tm) 64 X2"},
        {"blanks before and after", text("        Intel(R) Pentium(R) 4 CPU 3.00GHz  "),
         "Intel(R) Pentium(R) 4 CPU 3.00GHz"},
        {"control characters", text("\t\r\nIntel(R) Atom(TM) CPU 330   @ 1.60GHz\n\x01"),
         "Intel(R) Atom(TM) CPU 330   @ 1.60GHz"},
        {"only blanks", text("   "), ""},
        {"missing", {}, "Unknown"},
        {"not a text", {REGTYPE_DWORD, {1, 0, 0, 0}}, "Unknown"},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.Name);
        cSimWindows sim;
        if (c.Stored.Type != 0)
            sim.Registry().WriteValue(eHive::LocalMachine, PROCESSOR_KEY, "ProcessorNameString", c.Stored);
        EXPECT_EQ(cCPU(sim.Registry()).GetProcessorName(), c.Expected);
    }
}

TEST(CPU, TheFrequencyIsZeroWhenItCannotBeRead)
{
    cSimWindows sim;
    cCPU cpu(sim.Registry());
    EXPECT_EQ(cpu.GetProcessorMhz(), 0u);
    sim.Registry().SetString(eHive::LocalMachine, PROCESSOR_KEY, "~MHz", "2400");
    EXPECT_EQ(cpu.GetProcessorMhz(), 0u);
    sim.Registry().SetDword(eHive::LocalMachine, PROCESSOR_KEY, "~MHz", 2400);
    EXPECT_EQ(cpu.GetProcessorMhz(), 2400u);
}

}  // namespace
