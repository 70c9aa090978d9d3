#include "osconfig/WakeDevice.h"

namespace {

constexpr const char* POWERCFG = "powercfg.exe";
constexpr const char* POWERCFG_IN_SYSTEM = "\\powercfg.exe";
constexpr const char* QUERY_PROGRAMMABLE = "/devicequery wake_programmable";
constexpr const char* QUERY_ARMED = "/devicequery wake_armed";
constexpr const char* ENABLE_WAKE = "/deviceenablewake ";
constexpr const char* DISABLE_WAKE = "/devicedisablewake ";
// What powercfg prints when no device qualifies.
constexpr const char* NO_DEVICE = "NONE";

constexpr uint16_t CAPTURED_SHELL_COMMAND = ALF_COMMAND_SHELL | ALF_HIDDEN | ALF_CAPTURE;
constexpr int32_t POWERCFG_TIMEOUT = 15000;

}  // namespace

std::vector<std::string> ParsePowercfgLines(const std::string& output)
{
    std::vector<std::string> lines;
    std::string line;
    for (char byte : output) {
        if (byte == '\r')
            continue;
        if (byte == '\n') {
            if (!line.empty())
                lines.push_back(line);
            line.clear();
            continue;
        }
        line += byte;
    }
    return lines;
}

// ---------------------------------------------------------------------------
// cWakeDevice

// Started directly, not through cmd.exe: the shell strips the first and the
// last double quote of its command when there are more than two, and the
// device's quoted name would bring it to four.
cWakeDevice::cWakeDevice(cPlatform& platform, std::string name)
    : Name(std::move(name)),
      Launcher(std::make_unique<cApplicationLauncher>(
          platform, SystemDirectoryOrDefault(platform.Processes) + POWERCFG_IN_SYSTEM, ALF_HIDDEN))
{
}

cWakeDevice::~cWakeDevice() = default;

bool cWakeDevice::SetWakeEnabled(bool enable)
{
    if (!Programmable)
        return true;
    const std::string parameters = std::string(enable ? ENABLE_WAKE : DISABLE_WAKE) + "\"" + Name + "\"";
    if (Launcher->Launch(parameters))
        Launcher->WaitForExit(POWERCFG_TIMEOUT);
    return true;
}

// ---------------------------------------------------------------------------
// cWakeDeviceList

cWakeDeviceList::cWakeDeviceList(cPlatform& platform)
    : Platform(platform), Launcher(std::make_unique<cApplicationLauncher>(platform, POWERCFG, CAPTURED_SHELL_COMMAND))
{
}

cWakeDeviceList::~cWakeDeviceList() = default;

// Only a run that ended with exit code 0 is read: when powercfg is missing
// or fails, the file holds the shell's or the tool's error text, and a run
// still going after the time-out has not finished its list.
std::vector<std::string> cWakeDeviceList::Query(const std::string& parameters)
{
    if (!Launcher->Launch(parameters) || Launcher->WaitForExit(POWERCFG_TIMEOUT) != 0)
        return {};
    std::string output;
    if (!Platform.Files.ReadWholeFile(Launcher->GetOutputFile(), output))
        return {};
    return ParsePowercfgLines(output);
}

bool cWakeDeviceList::Refresh()
{
    Clear();
    NotYetLoaded = false;
    for (const std::string& name : Query(QUERY_PROGRAMMABLE)) {
        if (name == NO_DEVICE)
            continue;
        cWakeDevice* device = FindDevice(name);
        if (device == nullptr) {
            Devices.push_back(std::make_unique<cWakeDevice>(Platform, name));
            device = Devices.back().get();
        }
        device->SetProgrammableFlag(true);
    }
    return true;
}

void cWakeDeviceList::RefreshArmed()
{
    const std::vector<std::string> armed = Query(QUERY_ARMED);
    for (const auto& device : Devices)
        device->SetArmedFlag(false);
    // A name the list does not hold ("NONE" among them) is passed over.
    for (const std::string& name : armed)
        if (cWakeDevice* device = FindDevice(name))
            device->SetArmedFlag(true);
}

cWakeDevice* cWakeDeviceList::GetDevice(int index) const
{
    if (index < 0 || index >= GetDeviceCount())
        return nullptr;
    return Devices[static_cast<size_t>(index)].get();
}

cWakeDevice* cWakeDeviceList::FindDevice(const std::string& name) const
{
    for (const auto& device : Devices)
        if (device->GetName() == name)
            return device.get();
    return nullptr;
}
