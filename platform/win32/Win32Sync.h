#pragma once
#include "platform/Sync.h"

// Named mutexes through CreateMutexA; the mutex object (defined in the
// source) closes its handle when destroyed.
class cWin32Synchronization final : public cSynchronization {
public:
    std::unique_ptr<cNamedMutex> CreateNamedMutex(const std::string& name) override;
};
