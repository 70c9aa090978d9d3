#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One process of a snapshot.
struct cProcessEntry {
    std::string ExeFile;  // the executable's file name, without folder, as Windows reports it
    uint32_t ProcessId = 0;
};

// The processes running on the machine.
class cProcessList {
public:
    virtual ~cProcessList() = default;

    // A snapshot of all processes (CreateToolhelp32Snapshot with
    // TH32CS_SNAPPROCESS, Process32First/Next), in snapshot order; false,
    // with processes empty, when the snapshot cannot be taken.
    virtual bool Snapshot(std::vector<cProcessEntry>& processes) = 0;
};
