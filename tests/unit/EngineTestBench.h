#pragma once
// The engine on the simulated Windows as the tests build it: the machine,
// the objects of the start-up for a chosen Windows, settings in the registry
// and the log read back line by line. Header only, so the benchmark can use
// it without the unit tests' library.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/VistaSuspendEngine.h"
#include "foundation/MessageLogger.h"
#include "foundation/Settings.h"
#include "foundation/WindowsVersion.h"
#include "osconfig/OSConfigurationFactory.h"
#include "platform/sim/SimWindows.h"

enum class eOs { XP, Vista, Windows7 };

class cEngineTestBench {
public:
    using cMakeOSConfiguration = std::function<std::unique_ptr<cOSConfiguration>(cPlatform&)>;

    static constexpr WindowHandle MAIN_WINDOW = 0x10010;
    static constexpr const char* LOG_FILE = "C:\\Logs\\SLH Log.txt";
    static constexpr size_t STAMP_COLUMNS = 31;  // "Wed 09 Dec 2026 20:10:00.000 - "

    // The text's lines without their CR LF.
    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        for (size_t start = 0; start < text.size();) {
            size_t end = text.find("\r\n", start);
            if (end == std::string::npos)
                end = text.size();
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }

    // Logging on, into LOG_FILE.
    void LogToFile()
    {
        SetHklm("LogMode", 1);
        Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", "C:\\Logs");
    }

    // Forced reboots off (RM_NEVER_REBOOT), for tests whose sleeps a due
    // reboot must not replace: with the default daily mode and nothing
    // stored yet, the first sleep at the end of a wake would reboot.
    void NoForcedReboots() { SetHklm("RebootMode", 0); }

    // The version the simulated system reports from now on.
    void SetWindows(eOs os)
    {
        cOsVersionRecord record;
        record.Major = os == eOs::XP ? 5 : 6;
        record.Minor = os == eOs::Vista ? 0 : 1;
        record.ProductType = 1;
        Sim.System().SetVersionRecord(record);
    }

    // The logger, the version and the OS configuration, made for the Windows
    // set now; makeOS stands in for the factory when given.
    void StartPlatform(const cMakeOSConfiguration& makeOS = {})
    {
        Logger = std::make_unique<cMessageLogger>(Sim.Get(), "SLH Log.txt");
        Version = std::make_unique<cWindowsVersion>(Sim.Get());
        OSConfiguration = makeOS ? makeOS(Sim.Get()) : CreateOSConfiguration(Sim.Get(), *Version);
    }

    // A new engine on the objects of StartPlatform: the Vista engine, which
    // sends its power-setting notifications to window, or the XP engine.
    void StartEngine(bool vistaEngine, WindowHandle window = MAIN_WINDOW)
    {
        Engine.reset();
        if (vistaEngine)
            Engine = std::make_unique<cVistaSuspendEngine>(Sim.Get(), *Version, *OSConfiguration, false, window,
                                                           *Logger);
        else
            Engine = std::make_unique<cMcePowerManager>(Sim.Get(), *Version, *OSConfiguration, false, *Logger);
    }

    // Everything afresh on this Windows, with the engine the start-up picks
    // for it.
    cMcePowerManager& Start(eOs os, WindowHandle window = MAIN_WINDOW)
    {
        SetWindows(os);
        Engine.reset();
        StartPlatform();
        StartEngine(os != eOs::XP, window);
        return *Engine;
    }

    void SetHklm(const char* name, uint32_t value)
    {
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, name, value);
    }
    void SetHkcu(const char* name, uint32_t value)
    {
        Sim.Registry().SetDword(eHive::CurrentUser, SETTINGS_KEY, name, value);
    }
    // 0xDEAD when the value is missing.
    uint32_t Hkcu(const char* name)
    {
        uint32_t value = 0xDEAD;
        Sim.Registry().GetDword(eHive::CurrentUser, SETTINGS_KEY, name, value);
        return value;
    }

    // The log's lines since the last call, without time stamps; continuation
    // lines are indented by two blanks.
    std::vector<std::string> TakeLog()
    {
        std::string text;
        Sim.Files().ReadWholeFile(LOG_FILE, text);
        std::vector<std::string> texts;
        for (const std::string& line : Lines(text.substr(std::min(Consumed, text.size())))) {
            const bool continuation = line.rfind(std::string(STAMP_COLUMNS, ' '), 0) == 0;
            texts.push_back((continuation ? "  " : "") + line.substr(std::min(STAMP_COLUMNS, line.size())));
        }
        Consumed = text.size();
        return texts;
    }

    // Destroyed from the last up: the engine before what it uses.
    cSimWindows Sim;
    std::unique_ptr<cMessageLogger> Logger;
    std::unique_ptr<cWindowsVersion> Version;
    std::unique_ptr<cOSConfiguration> OSConfiguration;
    std::unique_ptr<cMcePowerManager> Engine;

private:
    size_t Consumed = 0;  // the bytes of the log already taken
};
