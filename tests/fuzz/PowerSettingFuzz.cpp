// A PBT_POWERSETTINGCHANGE broadcast whose record another program chose: any
// setting GUID, any data length, any data. It goes through the main window
// of an engine on a simulated Windows 7, as the window procedure hands it
// on, and must be answered without reading past the record.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/PowerEvents.h"
#include "foundation/Settings.h"
#include "platform/WinConst.h"
#include "platform/sim/SimWindows.h"
#include "shell/MainWindow.h"

namespace {

constexpr const char* LOG_FOLDER = "C:\\Logs";
constexpr const char* LOG_FILE = "C:\\Logs\\SLH Log.txt";
// The log only grows; it is started afresh now and then.
constexpr int BROADCASTS_PER_LOG = 1000;
constexpr size_t HEADER_SIZE = offsetof(cPowerBroadcastSetting, Data);

// The engine, started once: building it for every input would cost more
// than the broadcast.
struct cEngineProcess {
    cEngineProcess()
    {
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "LogMode", 1);
        Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", LOG_FOLDER);
        Sim.Processes().SetArguments({"C:\\Slumberhold.exe", "ENGINE"});
        Main = std::make_unique<TfMain>(Sim.Get());
        Sim.Windowing().ProcessMessages();
    }
    cSimWindows Sim;
    std::unique_ptr<TfMain> Main;
    int Broadcasts = 0;
};

// The record as Windows lays it out: the header from the input (zero-filled
// when the input is shorter), then exactly as many data bytes as the header
// announces, so that a read past them is caught. A sender can announce less
// data than it has, never more: the record's size is what it announces.
std::vector<uint8_t> Record(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> header(HEADER_SIZE, 0);
    std::copy_n(data, std::min(size, HEADER_SIZE), header.begin());
    uint32_t announced = 0;
    std::memcpy(&announced, header.data() + offsetof(cPowerBroadcastSetting, DataLength), sizeof announced);
    const size_t available = size > HEADER_SIZE ? size - HEADER_SIZE : 0;
    const uint32_t length = static_cast<uint32_t>(std::min<size_t>(announced, available));
    std::memcpy(header.data() + offsetof(cPowerBroadcastSetting, DataLength), &length, sizeof length);

    std::vector<uint8_t> record = header;
    if (length > 0)
        record.insert(record.end(), data + HEADER_SIZE, data + HEADER_SIZE + length);
    return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static cEngineProcess engine;
    // No bytes at all stand for a broadcast without a record.
    std::vector<uint8_t> record;
    if (size > 0)
        record = Record(data, size);
    const intptr_t lParam = record.empty() ? 0 : reinterpret_cast<intptr_t>(record.data());
    const intptr_t answer =
        engine.Sim.Windowing().SendMessage(engine.Main->Handle(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, lParam);
    if (answer != 1)
        std::abort();

    if (++engine.Broadcasts % BROADCASTS_PER_LOG == 0)
        engine.Sim.Files().DeleteFile(LOG_FILE);
    return 0;
}
