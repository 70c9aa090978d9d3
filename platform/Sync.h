#pragma once
#include <cstdint>
#include <memory>
#include <string>

enum class eWaitResult { Signaled, Abandoned, Timeout, Failed };

// A named system mutex in the session's namespace. The handle is closed by
// the destructor.
class cNamedMutex {
public:
    virtual ~cNamedMutex() = default;

    virtual eWaitResult Wait(uint32_t milliseconds) = 0;
    virtual bool Release() = 0;
};

class cSynchronization {
public:
    virtual ~cSynchronization() = default;

    // Creates or opens the mutex, initially not owned; null on failure.
    virtual std::unique_ptr<cNamedMutex> CreateNamedMutex(const std::string& name) = 0;
};
