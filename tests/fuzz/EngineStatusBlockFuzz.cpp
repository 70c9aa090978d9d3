// The engine status block "SLH_EngineStatus" as another process may have
// written it: any size, any bytes. A configurator that has found an engine
// window maps the block every second and shows what it holds; it must read
// nothing outside the mapping, keep every text within its field and let go
// of its view after each look.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/sim/SimWindows.h"
#include "shell/EngineStatusBlock.h"
#include "shell/EngineWatch.h"
#include "shell/MemoryMappedFile.h"
#include "shell/StatusDisplay.h"

namespace {

// Texts a label would get, checked for their bounds.
class cCheckedDisplay final : public cStatusDisplay {
public:
    void ShowMediaCenterState(const std::string& text) override { Check(text); }
    void ShowRecording(const std::string& text) override { Check(text); }
    void ShowLastUserInput(const std::string& text) override { Check(text); }
    void ShowExtendersInUse(const std::string& text) override { Check(text); }
    void ShowRecordingRow(const std::string& text) override { Check(text); }
    void ShowAttendance(const std::string& text) override { Check(text); }
    void ShowWindowsIdle(const cWindowsIdleView&) override {}
    void ShowExecutionState(const cExecutionStateView&) override {}

private:
    static void Check(const std::string& text)
    {
        if (text.size() > 99)
            std::abort();
    }
};

// A simulated machine with an engine window; it outlives all inputs.
struct cMachine {
    cMachine() { Sim.Windowing().AddWindow(APPLICATION_WINDOW_CLASS, ENGINE_WINDOW_TITLE, 0x300); }
    cSimWindows Sim;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static cMachine machine;
    machine.Sim.SharedMemory().WriteBlock(ENGINE_STATUS_BLOCK_NAME, std::vector<uint8_t>(data, data + size));

    cEngineStatus status;
    if (ReadEngineStatus({data, size}, status) && size < ENGINE_STATUS_BLOCK_LENGTH)
        std::abort();

    cMemoryMappedFile reader(machine.Sim.Get(), ENGINE_STATUS_BLOCK_NAME, ENGINE_STATUS_MAPPING_SIZE, 0);
    cEngineWatch watch(machine.Sim.Get(), reader);
    cCheckedDisplay display;
    for (int tick = 0; tick < 2; ++tick) {
        if (!watch.Tick(display))
            std::abort();
        if (machine.Sim.SharedMemory().OpenViews() != 0)
            std::abort();
    }
    return 0;
}
