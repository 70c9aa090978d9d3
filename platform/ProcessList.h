#pragma once
#include <cstdint>
#include <functional>
#include <string_view>

// The processes running on the machine.
class cProcessList {
public:
    // One process: its executable's file name, without folder, as Windows
    // reports it (valid only during the call), and its id.
    using cVisit = std::function<void(std::string_view exeFile, uint32_t processId)>;

    virtual ~cProcessList() = default;

    // Takes a snapshot of all processes (CreateToolhelp32Snapshot with
    // TH32CS_SNAPPROCESS, Process32First/Next) and calls visit for each, in
    // snapshot order, without copying the list; false, with no call, when
    // the snapshot cannot be taken.
    virtual bool ForEachProcess(const cVisit& visit) = 0;
};
