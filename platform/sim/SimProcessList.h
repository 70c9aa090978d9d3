#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ProcessList.h"

// The processes of the simulated machine as a snapshot lists them, in the
// order they started. Process ids are handed out in steps of 4, as Windows
// does, and never reused within one simulation.
class cSimProcessList : public cProcessList {
public:
    bool ForEachProcess(const cVisit& visit) override;

    // Returns the new process's id.
    uint32_t StartProcess(const std::string& exeFile);
    // Ends the process with that id; false when there is none.
    bool EndProcess(uint32_t processId);
    // Ends every process with exactly that file name; returns how many.
    int EndProcesses(const std::string& exeFile);
    void SetSnapshotFails(bool fails) { SnapshotFails = fails; }
    int Snapshots() const { return SnapshotCount; }

private:
    struct cProcessEntry {
        std::string ExeFile;
        uint32_t ProcessId = 0;
    };

    std::vector<cProcessEntry> Running;
    uint32_t NextId = 1000;
    bool SnapshotFails = false;
    int SnapshotCount = 0;
};
