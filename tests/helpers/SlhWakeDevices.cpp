// slhwakedevices list
// slhwakedevices set NAME 0|1
//
// Runs the program's own wake-device list on the real Windows backend, as
// the settings window's Devices page does. "list" refreshes the list and its
// armed flags and prints
//   loaded=<1 when loaded>
//   count=<number of devices>
//   device=<name>|armed=<0 or 1>
// one line per device, in the list's order. "set" refreshes the list and
// arms (1) or disarms (0) the device of that name; a name the list does not
// hold goes to a device that is not programmable. It prints
//   listed=<1 when the list held the name>
// Exit code 0, 3 for bad arguments.
#include "osconfig/WakeDevice.h"
#include "platform/win32/Win32Platform.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const bool list = argc == 2 && std::strcmp(argv[1], "list") == 0;
    const bool set = argc == 4 && std::strcmp(argv[1], "set") == 0 &&
                     (std::strcmp(argv[3], "0") == 0 || std::strcmp(argv[3], "1") == 0);
    if (!list && !set) {
        std::fprintf(stderr, "usage: slhwakedevices list | set NAME 0|1\n");
        return 3;
    }

    cWin32Platform backend;
    cPlatform& platform = backend.Get();
    cWakeDeviceList devices(platform);
    devices.Refresh();
    if (list) {
        devices.RefreshArmed();
        std::printf("loaded=%d\ncount=%d\n", devices.IsNotYetLoaded() ? 0 : 1, devices.GetDeviceCount());
        for (int index = 0; index < devices.GetDeviceCount(); ++index) {
            const cWakeDevice* device = devices.GetDevice(index);
            std::printf("device=%s|armed=%d\n", device->GetName().c_str(), device->IsArmed() ? 1 : 0);
        }
        return 0;
    }
    const bool enable = std::strcmp(argv[3], "1") == 0;
    cWakeDevice* device = devices.FindDevice(argv[2]);
    std::printf("listed=%d\n", device != nullptr ? 1 : 0);
    std::fflush(stdout);
    if (device != nullptr) {
        device->SetWakeEnabled(enable);
    } else {
        cWakeDevice unlisted(platform, argv[2]);
        unlisted.SetWakeEnabled(enable);
    }
    return 0;
}
