#pragma once
#include <memory>
#include <string>
#include <vector>

#include "foundation/ApplicationLauncher.h"
#include "platform/Platform.h"

// One device that can wake the machine from standby, by the name that
// powercfg.exe prints for it (compared and passed byte for byte).
class cWakeDevice {
public:
    cWakeDevice(cPlatform& platform, std::string name);
    virtual ~cWakeDevice();
    cWakeDevice(const cWakeDevice&) = delete;
    cWakeDevice& operator=(const cWakeDevice&) = delete;

    const std::string& GetName() const { return Name; }
    bool IsArmed() const { return Armed; }
    bool IsProgrammable() const { return Programmable; }
    void SetArmedFlag(bool armed) { Armed = armed; }
    void SetProgrammableFlag(bool programmable) { Programmable = programmable; }
    // Arms or disarms the device's wake function through powercfg.exe;
    // does nothing for a device Windows does not let the user change. The
    // armed flag stays: the list's next RefreshArmed shows the outcome.
    bool SetWakeEnabled(bool enable);

private:
    const std::string Name;
    std::unique_ptr<cApplicationLauncher> Launcher;
    bool Armed = false;
    bool Programmable = false;
};

// The devices Windows lets the user arm for waking, as powercfg.exe lists
// them. Filled on request (the settings window's Devices page), not at
// start; every call blocks while powercfg.exe runs, 15 s at most. A
// powercfg.exe that is missing, fails or hangs yields no devices, and
// nothing is shown or logged. Main thread only.
class cWakeDeviceList {
public:
    explicit cWakeDeviceList(cPlatform& platform);
    virtual ~cWakeDeviceList();
    cWakeDeviceList(const cWakeDeviceList&) = delete;
    cWakeDeviceList& operator=(const cWakeDeviceList&) = delete;

    // True until the first Refresh.
    bool IsNotYetLoaded() const { return NotYetLoaded; }
    // Rebuilds the list from the programmable devices.
    bool Refresh();
    // Marks the devices whose wake function is armed now.
    void RefreshArmed();
    int GetDeviceCount() const { return static_cast<int>(Devices.size()); }
    // Null for an index outside the list.
    cWakeDevice* GetDevice(int index) const;
    // The first device of exactly this name (case-sensitive); null if none.
    cWakeDevice* FindDevice(const std::string& name) const;
    void Clear() { Devices.clear(); }

private:
    // Runs one query and returns the non-empty lines of its output.
    std::vector<std::string> Query(const std::string& parameters);

    cPlatform& Platform;
    bool NotYetLoaded = true;
    std::vector<std::unique_ptr<cWakeDevice>> Devices;
    std::unique_ptr<cApplicationLauncher> Launcher;
};

// The complete lines of powercfg's output: a CR is dropped, an LF ends a
// line, empty lines are skipped, and text after the last LF is not a line.
std::vector<std::string> ParsePowercfgLines(const std::string& output);
