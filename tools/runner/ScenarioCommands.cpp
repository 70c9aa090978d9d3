// The commands of a scenario that set up the machine, run the program and
// send it what Windows sends: power broadcasts, wakes and sleeps.
#include <cstdio>
#include <stdexcept>

#include "engine/McePowerManager.h"
#include "foundation/Settings.h"
#include "platform/WinConst.h"
#include "shell/MainWindow.h"
#include "targets/MediaCenterContract.h"
#include "tools/runner/Scenario.h"
#include "tools/runner/ScenarioPowerEvents.h"

void cScenarioPlayer::SetClock(const tWords& words)
{
    cLocalTime time;
    unsigned year, month, day;
    if (std::sscanf(words[1].c_str(), "%u-%u-%u", &year, &month, &day) != 3)
        throw std::runtime_error("bad date '" + words[1] + "'");
    const int64_t ofDay = ParseTimeOfDay(words[2]);
    time.Year = static_cast<uint16_t>(year);
    time.Month = static_cast<uint16_t>(month);
    time.Day = static_cast<uint16_t>(day);
    time.Hour = static_cast<uint16_t>(ofDay / 3600000);
    time.Minute = static_cast<uint16_t>(ofDay / 60000 % 60);
    time.Second = static_cast<uint16_t>(ofDay / 1000 % 60);
    time.Milliseconds = static_cast<uint16_t>(ofDay % 1000);
    Sim.Clock().SetLocalTime(time);
}

void cScenarioPlayer::SetTickCount(const tWords& words)
{
    Sim.Clock().SetTickBase(static_cast<uint32_t>(ParseNumber(words[1]) - Sim.Clock().Now()));
}

// set: a value of the program's settings key; reg: of any key.
void cScenarioPlayer::SetValue(const tWords& words)
{
    const bool anyKey = words[0] == "reg";
    const eHive hive = ParseHive(words[1]);
    const std::string key = anyKey ? Unquote(words[2]) : SETTINGS_KEY;
    const std::string name = Unquote(words[anyKey ? 3 : 2]);
    const std::string& data = words[anyKey ? 4 : 3];
    if (IsText(data))
        Sim.Registry().SetString(hive, key, name, Unquote(data));
    else
        Sim.Registry().SetDword(hive, key, name, static_cast<uint32_t>(std::stoll(data, nullptr, 0)));
}

void cScenarioPlayer::SetWindows(const tWords& words)
{
    cOsVersionRecord record;
    unsigned major = 0, minor = 0;
    if (std::sscanf(words[1].c_str(), "%u.%u", &major, &minor) != 2)
        throw std::runtime_error("bad Windows version '" + words[1] + "'");
    record.Major = major;
    record.Minor = minor;
    record.ProductType = 1;
    bool mediaCenter = false;
    for (size_t i = 2; i < words.size(); ++i) {
        if (words[i] == "server")
            record.ProductType = 3;
        else if (words[i] == "mediacenter")
            mediaCenter = true;
        else if (words[i] != "workstation")
            throw std::runtime_error("unknown Windows property '" + words[i] + "'");
    }
    Sim.System().SetVersionRecord(record);
    Sim.System().SetSystemMetric(SYSTEM_METRIC_MEDIACENTER, mediaCenter ? 1 : 0);
    if (mediaCenter)
        Sim.Files().WriteNewFile(MediaCenterShellPath("C:\\Windows"), "");
    else
        Sim.Files().DeleteFile(MediaCenterShellPath("C:\\Windows"));
}

void cScenarioPlayer::Start(const tWords& words)
{
    if (App)
        throw std::runtime_error("the program is already running");
    std::vector<std::string> arguments{Sim.Files().GetModuleFileName()};
    arguments.insert(arguments.end(), words.begin() + 1, words.end());
    Sim.Processes().SetArguments(arguments);
    Sim.Windowing().StartNewProcess();
    App = std::make_unique<TfMain>(Sim.Get());
    Pump();
}

// close: WM_CLOSE to the main window; exit: the tray menu's "Exit".
void cScenarioPlayer::Close(const tWords& words)
{
    if (!App)
        throw std::runtime_error("the program is not running");
    if (words[0] == "close")
        Sim.Windowing().SendMessage(App->Handle(), WM_CLOSE, 0, 0);
    else
        App->Exit1Click();
    Pump();
}

void cScenarioPlayer::Answer(const tWords& words)
{
    static const std::pair<const char*, int> answers[] = {
        {"yes", IDYES}, {"no", IDNO}, {"ok", IDOK}, {"cancel", IDCANCEL}};
    for (const auto& [name, answer] : answers) {
        if (words[1] == name) {
            Sim.Dialogs().QueueAnswer(answer);
            return;
        }
    }
    throw std::runtime_error("a box is answered yes, no, ok or cancel, not '" + words[1] + "'");
}

void cScenarioPlayer::Wait(const tWords& words)
{
    WaitUntil(Sim.Clock().Now() + ParseDuration(words[1]));
}

// A power-setting change carries a record, never a number: Windows points
// lParam at the POWERBROADCAST_SETTING it built.
void cScenarioPlayer::SendBroadcast(const tWords& words)
{
    const uintptr_t event = ParsePowerEvent(words[1]);
    if (event == PBT_POWERSETTINGCHANGE) {
        if (words.size() != 4)
            throw std::runtime_error("broadcast PBT_POWERSETTINGCHANGE needs a setting GUID and a value (or none)");
        const std::optional<uint32_t> value =
            words[3] == "none" ? std::nullopt : std::optional<uint32_t>(ParseNumber(words[3]));
        PowerSettingChange(ParseSettingGuid(words[2]), value);
        return;
    }
    if (words.size() > 3)
        throw std::runtime_error("broadcast " + words[1] + " takes one number at most");
    Broadcast(event, words.size() > 2 ? static_cast<intptr_t>(ParseNumber(words[2])) : 0);
}

void cScenarioPlayer::Suspend(const tWords&)
{
    Broadcast(PBT_APMSUSPEND, 0);
}

void cScenarioPlayer::AwayMode(const tWords& words)
{
    PowerSettingChange(GUID_SYSTEM_AWAYMODE, ParseOnOff(words[1]) ? 1 : 0);
}

void cScenarioPlayer::Monitor(const tWords& words)
{
    PowerSettingChange(GUID_MONITOR_POWER_ON, ParseOnOff(words[1]) ? 1 : 0);
}

// A sleeping machine wakes as the simulated sleep lets it; a running one
// gets the broadcasts of a wake alone.
void cScenarioPlayer::Wake(const tWords& words)
{
    const eSimWake wake = ParseWake(words[1]);
    if (Sim.Sleep().IsAsleep()) {
        Sim.Sleep().Wake(wake);
        Pump();
        return;
    }
    Sim.Power().SetResumeAutomatic(wake == eSimWake::Automatic);
    Broadcast(PBT_APMRESUMEAUTOMATIC, 0);
    if (wake == eSimWake::Automatic)
        return;
    if (wake == eSimWake::User)
        Sim.Power().UserInput();
    Broadcast(PBT_APMRESUMESUSPEND, 0);
}

void cScenarioPlayer::RequestSuspend(const tWords& words)
{
    if (words[1] != "suspend")
        throw std::runtime_error("only suspend can be requested, not '" + words[1] + "'");
    if (words.size() > 2 && words[2] != "automatic")
        throw std::runtime_error("request suspend takes automatic or nothing, not '" + words[2] + "'");
    cMcePowerManager* engine = App ? App->GetEngineForTesting() : nullptr;
    if (engine == nullptr)
        throw std::runtime_error("there is no engine to ask");
    if (Sim.Sleep().IsAsleep())
        throw std::runtime_error("the machine sleeps: nothing asks for sleep before a wake");
    engine->RequestSuspend(words.size() > 2);
    Pump();
}

void cScenarioPlayer::SleepNow(const tWords&)
{
    if (!Sim.Sleep().Sleep(false))
        throw std::runtime_error("the machine is already going to sleep");
    Pump();
}

void cScenarioPlayer::NextWake(const tWords& words)
{
    if (words[1] == "none") {
        Sim.Sleep().SetNextWake(eSimWake::None);
        return;
    }
    RequireArguments(words, 2);
    Sim.Sleep().SetNextWake(ParseWake(words[1]), MomentOf(words[2]));
}

void cScenarioPlayer::Input(const tWords&)
{
    Sim.Power().UserInput();
}
