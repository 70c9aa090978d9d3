#include <gtest/gtest.h>

#include "foundation/PersistentVariables.h"
#include "platform/sim/SimRegistry.h"

namespace {

class PersistentVariables : public ::testing::Test {
protected:
    bool ReadDword(const char* name, uint32_t& value, eHive hive = eHive::LocalMachine)
    {
        return Registry.GetDword(hive, SETTINGS_KEY, name, value);
    }

    cSimRegistry Registry;
};

TEST_F(PersistentVariables, DefaultIsWrittenOnlyWhenAbsent)
{
    {
        cPersistentInteger delay(Registry, "X", HIVE_LOCAL_MACHINE, 1000);
        uint32_t stored = 0;
        ASSERT_TRUE(ReadDword("X", stored));
        EXPECT_EQ(stored, 1000u);
        delay.Set(5);
    }
    cPersistentInteger again(Registry, "X", HIVE_LOCAL_MACHINE, 1000);
    EXPECT_EQ(again.Get(), 5);

    // Whatever the content, a present value is never replaced by a default.
    Registry.SetString(eHive::LocalMachine, SETTINGS_KEY, "Odd", "text");
    cPersistentInteger odd(Registry, "Odd", HIVE_LOCAL_MACHINE, 7);
    std::string text;
    EXPECT_TRUE(Registry.GetString(eHive::LocalMachine, SETTINGS_KEY, "Odd", text));
    EXPECT_EQ(text, "text");
}

TEST_F(PersistentVariables, HiveOneIsLocalMachineAnyOtherIsCurrentUser)
{
    cPersistentBool machine(Registry, "M", 1, true);
    cPersistentBool user(Registry, "U", 2, true);
    uint32_t value;
    EXPECT_TRUE(ReadDword("M", value, eHive::LocalMachine));
    EXPECT_FALSE(ReadDword("M", value, eHive::CurrentUser));
    EXPECT_TRUE(ReadDword("U", value, eHive::CurrentUser));
    EXPECT_FALSE(ReadDword("U", value, eHive::LocalMachine));
}

TEST_F(PersistentVariables, DeletedValueReadsAsRememberedValue)
{
    cPersistentInteger wroteDefault(Registry, "A", HIVE_LOCAL_MACHINE, 42);
    wroteDefault.Delete();
    EXPECT_FALSE(wroteDefault.Exists());
    EXPECT_EQ(wroteDefault.Get(), 42);

    Registry.SetDword(eHive::LocalMachine, SETTINGS_KEY, "B", 9);
    Registry.SetDword(eHive::LocalMachine, SETTINGS_KEY, "C", 1);
    Registry.SetString(eHive::LocalMachine, SETTINGS_KEY, "D", "x");
    cPersistentInteger foundInteger(Registry, "B", HIVE_LOCAL_MACHINE, 42);
    cPersistentBool foundBool(Registry, "C", HIVE_LOCAL_MACHINE, true);
    cPersistentAnsiString foundString(Registry, "D", HIVE_LOCAL_MACHINE, "default");
    foundInteger.Delete();
    foundBool.Delete();
    foundString.Delete();
    EXPECT_EQ(foundInteger.Get(), 0);
    EXPECT_FALSE(foundBool.Get());
    EXPECT_EQ(foundString.Get(), "");
    foundString.Delete();  // deleting again is harmless
}

TEST_F(PersistentVariables, DisabledBoolReadsFalseAndRefusesWrites)
{
    Registry.SetDword(eHive::LocalMachine, SETTINGS_KEY, "Flag", 1);
    cPersistentBool flag(Registry, "Flag", HIVE_LOCAL_MACHINE, false);
    flag.SetEnabled(0x8, false);
    EXPECT_FALSE(flag.IsEnabled());
    EXPECT_FALSE(flag.Get());
    Registry.SetDword(eHive::LocalMachine, SETTINGS_KEY, "Flag", 0);
    EXPECT_FALSE(flag.Set(true));
    uint32_t stored = 99;
    ASSERT_TRUE(ReadDword("Flag", stored));
    EXPECT_EQ(stored, 0u);
    Registry.SetDword(eHive::LocalMachine, SETTINGS_KEY, "Flag", 1);
    flag.SetEnabled(0x8, true);
    EXPECT_TRUE(flag.Get());
}

TEST_F(PersistentVariables, DisabledIntegerIsStillWrittenAndReadsItsDisabledValue)
{
    cPersistentInteger mode(Registry, "Mode", HIVE_LOCAL_MACHINE, 3);
    mode.SetDisabledValue(0);
    mode.SetEnabled(0x4, false);
    EXPECT_EQ(mode.Get(), 0);
    EXPECT_TRUE(mode.Set(7));
    uint32_t stored = 0;
    ASSERT_TRUE(ReadDword("Mode", stored));
    EXPECT_EQ(stored, 7u);
    EXPECT_EQ(mode.Get(), 0);
    mode.SetEnabled(0x4, true);
    EXPECT_EQ(mode.Get(), 7);
}

TEST_F(PersistentVariables, ReasonsAreIndependent)
{
    cPersistentBool flag(Registry, "Flag", HIVE_LOCAL_MACHINE, true);
    flag.SetEnabled(0x8, false);
    flag.SetEnabled(0x10, false);
    flag.SetEnabled(0x8, true);
    EXPECT_FALSE(flag.IsEnabled());
    EXPECT_FALSE(flag.Get());
    flag.SetEnabled(0x10, true);
    EXPECT_TRUE(flag.Get());
}

TEST_F(PersistentVariables, StringsIgnoreTheDisableMask)
{
    cPersistentAnsiString path(Registry, "Path", HIVE_LOCAL_MACHINE, "C:\\");
    path.SetEnabled(0x8, false);
    EXPECT_TRUE(path.Set("D:\\Logs"));
    EXPECT_EQ(path.Get(), "D:\\Logs");
}

TEST_F(PersistentVariables, NegativeIntegersRoundTripAsTheirBitPattern)
{
    cPersistentInteger offset(Registry, "Offset", HIVE_LOCAL_MACHINE, -1);
    uint32_t stored = 0;
    ASSERT_TRUE(ReadDword("Offset", stored));
    EXPECT_EQ(stored, 0xFFFFFFFFu);
    EXPECT_EQ(offset.Get(), -1);
}

TEST_F(PersistentVariables, ValueOfAnotherTypeReadsAsAbsent)
{
    struct cCase {
        const char* What;
        cRegistryValue Stored;
    };
    const cCase cases[] = {
        {"string", {REGTYPE_SZ, {'1', 0}}},
        {"binary", {REGTYPE_BINARY, {1, 0, 0, 0}}},
        {"short dword", {REGTYPE_DWORD, {1, 0}}},
        {"long dword", {REGTYPE_DWORD, {1, 0, 0, 0, 0, 0, 0, 0}}},
        {"empty dword", {REGTYPE_DWORD, {}}},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.What);
        Registry.WriteValue(eHive::LocalMachine, SETTINGS_KEY, "Bad", c.Stored);
        cPersistentInteger integer(Registry, "Bad", HIVE_LOCAL_MACHINE, 5);
        cPersistentBool flag(Registry, "Bad", HIVE_LOCAL_MACHINE, true);
        EXPECT_EQ(integer.Get(), 0);
        EXPECT_FALSE(flag.Get());
    }
    Registry.SetDword(eHive::LocalMachine, SETTINGS_KEY, "Text", 1);
    cPersistentAnsiString text(Registry, "Text", HIVE_LOCAL_MACHINE, "x");
    EXPECT_EQ(text.Get(), "");
    // A string stored without its terminating zero still reads whole.
    Registry.WriteValue(eHive::LocalMachine, SETTINGS_KEY, "Bare", {REGTYPE_SZ, {'a', 'b'}});
    cPersistentAnsiString bare(Registry, "Bare", HIVE_LOCAL_MACHINE);
    EXPECT_EQ(bare.Get(), "ab");
}

TEST_F(PersistentVariables, FailedWriteReportsFalseButIsRemembered)
{
    Registry.SetWriteProtected(eHive::LocalMachine, true);
    cPersistentInteger delay(Registry, "Delay", HIVE_LOCAL_MACHINE, 1000);
    EXPECT_FALSE(delay.Exists());
    EXPECT_EQ(delay.Get(), 1000);
    EXPECT_FALSE(delay.Set(20));
    EXPECT_EQ(delay.Get(), 20);
}

}  // namespace
