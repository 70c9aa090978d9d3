// The cost of one awake-state evaluation on a busy simulated machine: 300,
// 1,000 or 3,000 processes, 10 listed programs, all 15 add-in records in use
// and 20 network sessions. The heartbeat calls it once a second; its cost and
// its growth with the process count are what every user pays at rest.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "detection/MediaCenterExtender.h"
#include "detection/RecordingMonitor.h"
#include "targets/MediaCenterContract.h"
#include "tests/unit/EngineTestBench.h"

namespace {

constexpr int LISTED_PROGRAMS = 10;
constexpr int NETWORK_SESSIONS = 20;

// The machine, the objects of the start-up and a monitor past its first
// suspension.
class cBusyMachine : public cEngineTestBench {
public:
    explicit cBusyMachine(int processes)
    {
        SetWindows(eOs::Windows7);
        const std::string key = SETTINGS_KEY;
        for (int i = 0; i < LISTED_PROGRAMS; ++i)
            Sim.Registry().SetString(eHive::LocalMachine, key + "\\Non Idle Applications", std::to_string(i),
                                     "Program" + std::to_string(i) + ".exe");
        for (int i = 0; i < 5; ++i)
            Sim.Registry().SetString(eHive::LocalMachine, key + "\\Non Idle Networksessions", std::to_string(i),
                                     "user" + std::to_string(i));
        // Two instances of a listed program run among the others.
        for (int i = 0; i < processes; ++i)
            Sim.ProcessList().StartProcess((i == 7 || i == 157) ? "PROGRAM" + std::to_string(i % 10) + ".EXE"
                                                        : "process" + std::to_string(i) + ".exe");
        for (int i = 0; i < NETWORK_SESSIONS; ++i)
            Sim.Sessions().AddNetSession("\\\\CLIENT" + std::to_string(i), "user" + std::to_string(i), i);
        std::vector<uint8_t> block(MCSA_BLOCK_SIZE);
        const uint32_t states[] = {MCSA_STATE_RECORDING, MCSA_STATE_MENU, MCSA_STATE_PLAYING, MCSA_STATE_PAUSED};
        for (int i = 0; i < MCSA_RECORD_COUNT; ++i) {
            cMcsaRecord record;
            record.InUse = true;
            record.State = states[i % 4];
            record.Progress = 1000u + static_cast<uint32_t>(i);
            WriteMcsaRecord(block.data(), block.size(), i, record);
        }
        Sim.SharedMemory().WriteBlock(MCSA_BLOCK_NAME, block);

        SessionCounter = std::make_unique<cMediaCenterExtender>(Sim.Get());
        StartPlatform();
        StartEngine(true, 0);
        Monitor = std::make_unique<cRecordingMonitor>(Sim.Get(), *Engine, *Version, *Logger, *SessionCounter);
        Monitor->Suspend();
        Monitor->Resume(0);
        for (int second = 0; second <= 61; ++second)
            Evaluate();
    }

    void Evaluate()
    {
        Sim.Clock().Advance(1000);
        Monitor->EvaluateAwakeState();
    }

    std::unique_ptr<cMediaCenterExtender> SessionCounter;
    std::unique_ptr<cRecordingMonitor> Monitor;
};

void BM_EvaluateAwakeState(benchmark::State& state)
{
    cBusyMachine machine(static_cast<int>(state.range(0)));
    for (auto _ : state)
        machine.Evaluate();
    benchmark::DoNotOptimize(machine.Monitor->GetStayAwakeConditions());
}
BENCHMARK(BM_EvaluateAwakeState)->Arg(300)->Arg(1000)->Arg(3000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
