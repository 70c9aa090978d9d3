#include "detection/ProcessSensor.h"

#include <algorithm>

#include "foundation/Settings.h"
#include "platform/Platform.h"

namespace {

constexpr uint32_t LIST_CATEGORIES = 1u << PROCESS_COUNTER_ALL | 1u << PROCESS_COUNTER_ALL_2 |
                                     1u << PROCESS_COUNTER_NON_USER;
constexpr uint32_t UPDATE_CATEGORIES = LIST_CATEGORIES | 1u << PROCESS_COUNTER_UPDATE;

}  // namespace

cProcessSensor::cProcessSensor(cPlatform& platform)
    : cSensor(platform.Clock, "Process"),
      Processes(platform.ProcessList),
      Programs(ReadNonIdleList(platform.Registry, std::string(SETTINGS_KEY) + "\\" + NON_IDLE_APPLICATIONS_KEY))
{
}

void cProcessSensor::Scan()
{
    Processes.ForEachProcess([this](std::string_view exeFile, uint32_t processId) {
        if (exeFile == MEDIA_CENTER_UPDATE_PROGRAM)
            Count(TriggerOf(exeFile, processId, UPDATE_CATEGORIES));
        // Each list match counts once more; only as a listed program, so a
        // listed update program still counts once as an update.
        // The length first: it rules out nearly every pair without a call.
        for (const std::string& program : Programs)
            if (exeFile.size() == program.size() && EqualsIgnoringCase(exeFile, program))
                Count(TriggerOf(exeFile, processId, LIST_CATEGORIES), LIST_CATEGORIES);
    });
}

cTrigger& cProcessSensor::TriggerOf(std::string_view exeFile, uint32_t processId, uint32_t categories)
{
    const auto id = static_cast<int32_t>(processId);
    for (auto& trigger : Triggers)
        if (trigger->GetId() == id)
            return *trigger;
    return Add(std::make_unique<cProcessTrigger>(std::string(exeFile), id, categories, Now()));
}

void cProcessSensor::WakeReset()
{
    std::erase_if(Triggers, [](const std::unique_ptr<cTrigger>& trigger) { return !trigger->IsActive(); });
}
