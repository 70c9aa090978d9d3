#pragma once
#include "platform/ProcessList.h"

// A tool-help snapshot of the processes.
class cWin32ProcessList final : public cProcessList {
public:
    bool ForEachProcess(const cVisit& visit) override;
};
