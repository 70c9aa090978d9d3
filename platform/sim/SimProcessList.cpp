#include "platform/sim/SimProcessList.h"

#include <algorithm>

bool cSimProcessList::ForEachProcess(const cVisit& visit)
{
    ++SnapshotCount;
    if (SnapshotFails)
        return false;
    // The running list itself stands for the snapshot: a visit that starts
    // or ends a simulated process would change it, and none does.
    for (const cProcessEntry& process : Running)
        visit(process.ExeFile, process.ProcessId);
    return true;
}

uint32_t cSimProcessList::StartProcess(const std::string& exeFile)
{
    const uint32_t id = NextId;
    NextId += 4;
    Running.push_back({exeFile, id});
    return id;
}

bool cSimProcessList::EndProcess(uint32_t processId)
{
    auto it = std::find_if(Running.begin(), Running.end(),
                           [processId](const cProcessEntry& entry) { return entry.ProcessId == processId; });
    if (it == Running.end())
        return false;
    Running.erase(it);
    return true;
}

int cSimProcessList::EndProcesses(const std::string& exeFile)
{
    const auto before = Running.size();
    std::erase_if(Running, [&exeFile](const cProcessEntry& entry) { return entry.ExeFile == exeFile; });
    return static_cast<int>(before - Running.size());
}
