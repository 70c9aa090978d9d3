// The Media Center add-in's block "slhmcsa" as another process may have
// written it: any size, any bytes. The session reader of the recording
// monitor maps it and classifies its records; it must read nothing outside
// the block and give a sane count whatever it holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "detection/McsaClient.h"
#include "foundation/MessageLogger.h"
#include "foundation/Settings.h"
#include "platform/sim/SimWindows.h"
#include "targets/MediaCenterContract.h"

namespace {

constexpr const char* LOG_FOLDER = "C:\\Logs";
constexpr const char* LOG_FILE = "C:\\Logs\\SLH Log.txt";
// The log only grows; it is started afresh now and then.
constexpr int READINGS_PER_LOG = 1000;

// A simulated machine with logging on; it outlives all inputs.
struct cMachine {
    cMachine()
    {
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "LogMode", 1);
        Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", LOG_FOLDER);
    }
    cSimWindows Sim;
    cMessageLogger Logger{Sim.Get(), "SLH Log.txt"};
    int Readings = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static cMachine machine;
    machine.Sim.SharedMemory().WriteBlock(MCSA_BLOCK_NAME, std::vector<uint8_t>(data, data + size));

    // A reader of its own per input, so that each run starts from the same
    // state. Two readings: the second compares the playback progress with
    // the first, and counts paused sessions the other way.
    cMcsaClient client(machine.Sim.Get().SharedMemory);
    cMediaCenterSessionReader reader(client, machine.Logger);
    for (const bool pausedIsIdle : {false, true}) {
        const cMediaCenterReading reading = reader.Read(pausedIsIdle, true);
        const bool sane = reading.Sessions >= 0 && reading.Sessions <= MCSA_RECORD_COUNT &&
                          reading.ActiveRecordings >= 0 && reading.ActiveRecordings <= reading.Sessions &&
                          (reading.MediaCenterActive || reading.MediaCenterIdle) &&
                          static_cast<size_t>(reading.Sessions) * MCSA_RECORD_SIZE <= size;
        if (!sane)
            std::abort();
    }
    client.Unmap();
    if (machine.Sim.SharedMemory().OpenViews() != 0)
        std::abort();

    if (++machine.Readings % READINGS_PER_LOG == 0)
        machine.Sim.Files().DeleteFile(LOG_FILE);
    return 0;
}
