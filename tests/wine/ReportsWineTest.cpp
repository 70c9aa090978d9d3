// The configurator's powercfg reports and settings export on the real
// Windows backend: slhreport runs them as the buttons do, the powercfg.exe
// stand-in answers as scripted, slhviewer reads and closes the text viewer
// and the box watcher answers the message boxes.
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

constexpr auto RUN_TIMEOUT = 60s;

// "name=value" lines (a console in text mode may end them in CR CR LF).
std::map<std::string, std::string> Values(const std::string& text)
{
    std::map<std::string, std::string> values;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t equals = line.find('=');
        if (equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

// The registry editor writes UTF-16; the ASCII names are found in it as
// every other byte.
bool HoldsUtf16(const std::string& bytes, const std::string& text)
{
    std::string wide;
    for (char c : text) {
        wide += c;
        wide += '\0';
    }
    return bytes.find(wide) != std::string::npos;
}

}  // namespace

class cReportsWineTest : public cSlumberholdWineTest {
protected:
    // Runs the report in the background and reads the viewer it opens; the
    // viewer is closed with its close button afterwards.
    std::map<std::string, std::string> ShowReport(const std::string& parameter, std::string& text)
    {
        const std::string result = "C:\\report-" + parameter.substr(1) + ".txt";
        const std::string textFile = "C:\\viewer-" + parameter.substr(1) + ".txt";
        cChildProcess& report = StartHelper("slhreport.exe", {result, "report", parameter});
        cRunResult read = RunHelper("slhviewer.exe", {"read", textFile, "45000"}, RUN_TIMEOUT);
        EXPECT_TRUE(read.Finished);
        EXPECT_EQ(read.ExitCode, 0) << "no viewer for " << parameter;
        std::map<std::string, std::string> shown = Values(read.Output);
        text = ReadWholeFile(HostPath(textFile));

        cRunResult close = RunHelper("slhviewer.exe", {"close", "10000"}, RUN_TIMEOUT);
        EXPECT_EQ(Values(close.Output)["closed"], "1");
        EXPECT_EQ(report.WaitForExit(RUN_TIMEOUT), 0);
        const std::map<std::string, std::string> after = Values(ReadWholeFile(HostPath(result)));
        shown["returned"] = after.count("returned") ? after.at("returned") : "";
        shown["owner-enabled"] = after.count("owner-enabled") ? after.at("owner-enabled") : "";
        return shown;
    }

    // Output files of the launcher left in any user's temporary folder.
    std::vector<std::string> LeftOverOutputFiles()
    {
        std::vector<std::string> left;
        for (const auto& user : std::filesystem::directory_iterator(HostPath("C:\\users"))) {
            const std::filesystem::path temp = user.path() / "Temp";
            if (!std::filesystem::is_directory(temp))
                continue;
            for (const auto& file : std::filesystem::directory_iterator(temp)) {
                const std::string name = file.path().filename().string();
                if (name.starts_with("pow") && file.path().extension() == ".tmp")
                    left.push_back(file.path().string());
            }
        }
        return left;
    }
};

TEST_F(cReportsWineTest, ReportsOpenTheModalViewerWithTheToolsOutputAndLeaveNoTemporaryFile)
{
    // "\x84" and "\x81" are a- and u-umlaut in the console's code page 437.
    Powercfg().SetScript("-lastwake\t0\t0\tWake History Count - 1\\r\\nWake Source [0]\\r\\n  Ger\\x84t: USB-Eingabeger\\x84t "
                         "f\\x81r Tastatur\\r\\n\n"
                         "-requests\t0\t0\tDISPLAY:\\r\\nNone.\\r\\n\\r\\nSYSTEM:\\r\\n[DRIVER] Audio\\r\\n\n");
    cBoxWatcher& boxes = WatchMessageBoxes();

    std::string text;
    std::map<std::string, std::string> shown = ShowReport("-lastwake", text);
    EXPECT_EQ(text, "Wake History Count - 1\r\nWake Source [0]\r\n  Ger\xC3\xA4t: USB-Eingabeger\xC3\xA4t "
                    "f\xC3\xBCr Tastatur\r\n");
    EXPECT_EQ(shown["caption"], "powercfg.exe output");
    EXPECT_EQ(shown["topmost"], "1");
    EXPECT_EQ(shown["close-only"], "1");
    EXPECT_EQ(shown["centred"], "1");
    EXPECT_EQ(shown["readonly"], "1");
    EXPECT_EQ(shown["owner-disabled"], "1");
    // Closing the viewer returned to the owner, usable again.
    EXPECT_EQ(shown["returned"], "1");
    EXPECT_EQ(shown["owner-enabled"], "1");

    shown = ShowReport("-requests", text);
    EXPECT_EQ(text, "DISPLAY:\r\nNone.\r\n\r\nSYSTEM:\r\n[DRIVER] Audio\r\n");
    EXPECT_EQ(shown["returned"], "1");

    EXPECT_EQ(LeftOverOutputFiles(), std::vector<std::string>{});
    EXPECT_EQ(boxes.Stop(), std::vector<cBoxRecord>{});
}

TEST_F(cReportsWineTest, AReportTheToolRefusesShowsTheFailedBoxAndNoViewer)
{
    Powercfg().SetScript("-waketimers\t1\t0\tInvalid Parameters -- try \"/?\" for help\\r\\n\n");
    cBoxWatcher& boxes = WatchMessageBoxes();

    // A viewer would keep the helper waiting until the timeout.
    const cRunResult run = RunHelper("slhreport.exe", {"C:\\report.txt", "report", "-waketimers"}, RUN_TIMEOUT);
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(Values(run.Output)["returned"], "1");
    EXPECT_EQ(boxes.Stop(),
              (std::vector<cBoxRecord>{{"Failed", "Not supported by this operating system or insufficient rights."}}));
    EXPECT_EQ(LeftOverOutputFiles(), std::vector<std::string>{});
}

TEST_F(cReportsWineTest, ExportWritesBothHivesWithTheRegistryEditorIntoTheLogFolder)
{
    const std::string hklm = "HKLM\\Software\\Velderane\\Slumberhold";
    const std::string hkcu = "HKCU\\Software\\Velderane\\Slumberhold";
    ASSERT_TRUE(Registry().SetString(hklm, "LogPath", "C:\\Logs"));
    ASSERT_TRUE(Registry().SetDword(hklm, "BlankScreen", 1));
    ASSERT_TRUE(Registry().SetString(hkcu, "RebootDay", "2026-12-11"));
    cBoxWatcher& boxes = WatchMessageBoxes();

    const cRunResult run = RunHelper("slhreport.exe", {"C:\\report.txt", "export"}, RUN_TIMEOUT);
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(Values(run.Output)["returned"], "1");
    EXPECT_EQ(boxes.Stop(), (std::vector<cBoxRecord>{{"Slumberhold", "Application settings exported"}}));

    const std::string machine = ReadWholeFile(HostPath("C:\\Logs\\SLH_HKLM.txt"));
    const std::string user = ReadWholeFile(HostPath("C:\\Logs\\SLH_HKCU.txt"));
    EXPECT_TRUE(HoldsUtf16(machine, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velderane\\Slumberhold]"));
    EXPECT_TRUE(HoldsUtf16(machine, "\"LogPath\"=\"C:\\\\Logs\""));
    EXPECT_TRUE(HoldsUtf16(machine, "\"BlankScreen\"=dword:00000001"));
    EXPECT_TRUE(HoldsUtf16(user, "\"RebootDay\"=\"2026-12-11\""));
    EXPECT_FALSE(HoldsUtf16(user, "LogPath"));
}
