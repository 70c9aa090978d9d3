#include "platform/sim/SimProcessList.h"

#include <algorithm>

bool cSimProcessList::Snapshot(std::vector<cProcessEntry>& processes)
{
    ++SnapshotCount;
    processes.clear();
    if (SnapshotFails)
        return false;
    processes = Running;
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
