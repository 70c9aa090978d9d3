// The display-driver values and the front panel manager on the simulator.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/Folders.h"
#include "foundation/MessageLogger.h"
#include "osconfig/FpManager.h"
#include "osconfig/NvidiaVgaConfiguration.h"
#include "platform/sim/SimWindows.h"

namespace {

constexpr const char* DISPLAY_CLASS = "\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}";

class NvidiaDriver : public ::testing::Test {
protected:
    void Adapter(const std::string& set, const char* instance, const char* provider)
    {
        const std::string key = "SYSTEM\\" + set + DISPLAY_CLASS + "\\" + instance;
        Sim.Registry().SetString(eHive::LocalMachine, key, "ProviderName", provider);
        Sim.Registry().CreateKey(eHive::LocalMachine, key + "\\Settings");
    }
    uint32_t Dword(const std::string& key, const char* name)
    {
        uint32_t value = 0xDEAD;
        Sim.Registry().GetDword(eHive::LocalMachine, key, name, value);
        return value;
    }

    cSimWindows Sim;
};

TEST_F(NvidiaDriver, DriverKeysComeFromEveryControlSetAndAreMatchedExactly)
{
    Adapter("ControlSet001", "0000", "NVIDIA");
    Adapter("ControlSet002", "0000", "NVIDIA");
    Adapter("ControlSet002", "0001", "Nvidia");
    Adapter("ControlSet002", "0002", "ATI Technologies Inc.");
    // The link to the current set is no set of its own.
    Adapter("CurrentControlSet", "0000", "NVIDIA");
    Sim.Registry().SetString(eHive::LocalMachine, "SYSTEM\\ControlSet001\\Control\\Video\\{GUID-A}\\Video", "Service",
                             "nv");
    Sim.Registry().SetString(eHive::LocalMachine, "SYSTEM\\ControlSet001\\Control\\Video\\{GUID-B}\\Video", "Service",
                             "NV");
    for (const char* subkey : {"Device0", "Device1", "Enum", "Parameters"})
        Sim.Registry().CreateKey(eHive::LocalMachine, std::string("SYSTEM\\ControlSet002\\Services\\nv\\") + subkey);

    cNvidiaVgaConfiguration nvidia(Sim.Registry());
    const std::string set1 = "SYSTEM\\ControlSet001";
    const std::string set2 = "SYSTEM\\ControlSet002";
    EXPECT_EQ(nvidia.GetDriverKeys(),
              (std::vector<std::string>{set1 + DISPLAY_CLASS + "\\0000\\Settings",
                                        set1 + "\\Control\\Video\\{GUID-A}\\0000",
                                        set2 + DISPLAY_CLASS + "\\0000\\Settings", set2 + "\\Services\\nv\\Device0",
                                        set2 + "\\Services\\nv\\Device1"}));
    EXPECT_TRUE(nvidia.HasNvidiaDriver());
}

TEST_F(NvidiaDriver, ValuesAreReadFromTheFirstKeyAndWrittenIntoAll)
{
    Adapter("ControlSet001", "0000", "NVIDIA");
    Adapter("ControlSet002", "0000", "NVIDIA");
    const std::string first = std::string("SYSTEM\\ControlSet001") + DISPLAY_CLASS + "\\0000\\Settings";
    const std::string second = std::string("SYSTEM\\ControlSet002") + DISPLAY_CLASS + "\\0000\\Settings";
    Sim.Registry().SetDword(eHive::LocalMachine, second, "MapOSD3ToNV", 2);
    cNvidiaVgaConfiguration nvidia(Sim.Registry());
    EXPECT_EQ(nvidia.GetMapOsd3(), 0);
    EXPECT_EQ(nvidia.GetMapOsd4(), 0);

    nvidia.SetMapOsd3(3);
    nvidia.SetMapOsd4(3);
    EXPECT_EQ(Dword(first, "MapOSD3ToNV"), 3u);
    EXPECT_EQ(Dword(second, "MapOSD3ToNV"), 3u);
    EXPECT_EQ(Dword(second, "MapOSD4ToNV"), 3u);
    EXPECT_TRUE(nvidia.IsNvidiaRebootRequired());
    // "Disabled" writes 0 rather than removing the value.
    nvidia.SetMapOsd3(0);
    nvidia.SetMapOsd4(0);
    EXPECT_EQ(Dword(first, "MapOSD3ToNV"), 0u);
    EXPECT_EQ(Dword(second, "MapOSD4ToNV"), 0u);
    EXPECT_FALSE(nvidia.IsNvidiaRebootRequired());

    // A value of another type reads as absent.
    Sim.Registry().SetString(eHive::LocalMachine, first, "MapOSD4ToNV", "3");
    EXPECT_EQ(nvidia.GetMapOsd4(), 0);
}

TEST_F(NvidiaDriver, WithoutAnNvidiaCardNothingIsReadOrWritten)
{
    Adapter("ControlSet001", "0000", "Intel Corporation");
    cNvidiaVgaConfiguration nvidia(Sim.Registry());
    EXPECT_FALSE(nvidia.HasNvidiaDriver());
    nvidia.SetMapOsd3(3);
    EXPECT_EQ(nvidia.GetMapOsd3(), 0);
    EXPECT_FALSE(nvidia.IsNvidiaRebootRequired());
    EXPECT_EQ(Dword(std::string("SYSTEM\\ControlSet001") + DISPLAY_CLASS + "\\0000\\Settings", "MapOSD3ToNV"),
              0xDEADu);
}

// ---------------------------------------------------------------------------

constexpr const char* PHILIPS = "C:\\Program Files\\Philips\\MediaCenter PC Front Panel Manager";
constexpr const char* INTEL = "C:\\Program Files\\intel\\intel front panel manager";

class FrontPanel : public ::testing::Test {
protected:
    FrontPanel()
    {
        Sim.Files().SetSpecialFolder(FOLDER_DESKTOPDIRECTORY, "C:\\slh");
        Sim.Registry().SetDword(eHive::LocalMachine, "Software\\Velderane\\Slumberhold", "LogMode", 1);
        Sim.Registry().SetString(eHive::LocalMachine, "Software\\Velderane\\Slumberhold", "LogPath", "C:\\slh");
    }
    void Install(const char* folder)
    {
        ForceDirectories(Sim.Files(), folder);
        Sim.Files().WriteNewFile(std::string(folder) + "\\FPManager.exe", "MZ");
    }
    bool Installed()
    {
        uint32_t value = 0;
        return Sim.Registry().GetDword(eHive::CurrentUser, "Software\\Velderane\\Slumberhold",
                                       "FPManager_IsInstalled", value) &&
               value != 0;
    }
    void WantKill()
    {
        Sim.Registry().SetDword(eHive::LocalMachine, "Software\\Velderane\\Slumberhold", "FPManager_KillAtResume", 1);
    }
    std::vector<std::string> LogLines()
    {
        std::string content;
        Sim.Files().ReadWholeFile("C:\\slh\\SLH Log.txt", content);
        std::vector<std::string> lines;
        for (size_t at = 0; at < content.size();) {
            size_t end = content.find("\r\n", at);
            if (end == std::string::npos)
                end = content.size();
            const std::string line = content.substr(at, end - at);
            const size_t dash = line.find(" - ");
            lines.push_back(dash == std::string::npos ? line : line.substr(dash + 3));
            at = end + 2;
        }
        return lines;
    }

    cSimWindows Sim;
    cMessageLogger Logger{Sim.Get(), "SLH Log.txt"};
};

TEST_F(FrontPanel, TheIntelInstallIsPreferredAndNotFindingOneForgetsNothing)
{
    struct cCase {
        bool Philips, Intel, StoredBefore;
        const char* Path;
        bool InstalledAfter;
    };
    const cCase cases[] = {
        {false, false, false, "", false},
        {false, false, true, "", true},
        {true, false, false, "C:\\Program Files\\Philips\\MediaCenter PC Front Panel Manager\\FPManager.exe", true},
        {false, true, false, "C:\\Program Files\\intel\\intel front panel manager\\FPManager.exe", true},
        {true, true, false, "C:\\Program Files\\intel\\intel front panel manager\\FPManager.exe", true},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(std::string(c.Philips ? "Philips " : "") + (c.Intel ? "Intel " : "") +
                     (c.StoredBefore ? "stored" : ""));
        cSimWindows sim;
        if (c.Philips) {
            ForceDirectories(sim.Files(), PHILIPS);
            sim.Files().WriteNewFile(std::string(PHILIPS) + "\\FPManager.exe", "MZ");
        }
        if (c.Intel) {
            ForceDirectories(sim.Files(), INTEL);
            sim.Files().WriteNewFile(std::string(INTEL) + "\\FPManager.exe", "MZ");
        }
        if (c.StoredBefore)
            sim.Registry().SetDword(eHive::CurrentUser, "Software\\Velderane\\Slumberhold", "FPManager_IsInstalled", 1);
        sim.Registry().SetDword(eHive::LocalMachine, "Software\\Velderane\\Slumberhold", "FPManager_KillAtResume", 1);
        cMessageLogger logger(sim.Get(), "SLH Log.txt");
        cFpManager fp(sim.Get(), logger);
        EXPECT_EQ(fp.GetExecutablePath(), c.Path);
        EXPECT_EQ(static_cast<bool>(fp.FPManager_IsInstalled), c.InstalledAfter);
        // The kill setting reads false while no front panel manager is known.
        EXPECT_EQ(static_cast<bool>(fp.FPManager_KillAtResume), c.InstalledAfter);
        EXPECT_EQ(fp.FPManager_KillAtResume.IsEnabled(), c.InstalledAfter);
    }
}

TEST_F(FrontPanel, ItsWindowMarksItInstalled)
{
    WantKill();
    cFpManager fp(Sim.Get(), Logger);
    EXPECT_FALSE(fp.FPManager_KillAtResume);
    Sim.Windowing().AddWindow("CabinetWClass", "MediaCenter PC Front Panel Manager", 4242);
    fp.RefreshInstalled();
    EXPECT_TRUE(Installed());
    EXPECT_TRUE(fp.FPManager_KillAtResume);
}

TEST_F(FrontPanel, AResumeKillsItOnlyWhenAsked)
{
    Install(INTEL);
    Sim.Processes().AddProgram({"taskkill.exe", 128, 200, "", 0});
    cFpManager fp(Sim.Get(), Logger);
    fp.OnResume();
    EXPECT_TRUE(Sim.Processes().Launches().empty());

    WantKill();
    fp.OnResume();
    ASSERT_EQ(Sim.Processes().Launches().size(), 1u);
    const cSimLaunch& launch = Sim.Processes().Launches()[0];
    EXPECT_NE(launch.CommandLine.find("\"taskkill.exe\" /F /IM FPManager.exe & exit /b !errorlevel!"),
              std::string::npos)
        << launch.CommandLine;
    EXPECT_EQ(launch.Show, SHOW_HIDE);
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "Killing \"Intel Front Panel Manager Service\" (FPManager.exe)",
                              "Killing \"Intel Front Panel Manager Service\" done, exitcode=128"}));
}

TEST_F(FrontPanel, AHangingTaskkillIsGivenUpAfterThirtySeconds)
{
    Sim.Processes().AddProgram({"taskkill.exe", 0, 120000, "", 0});
    cFpManager fp(Sim.Get(), Logger);
    const uint64_t start = Sim.Clock().Now();
    fp.KillFpManager();
    EXPECT_GE(Sim.Clock().Now() - start, 30000u);
    EXPECT_LT(Sim.Clock().Now() - start, 30100u);
    EXPECT_EQ(LogLines().at(1), "Killing \"Intel Front Panel Manager Service\" done, exitcode=259");
}

}  // namespace
