#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Sync.h"

// A wait without a time limit.
constexpr uint32_t WAIT_FOREVER = 0xFFFFFFFF;

// An auto-reset event of the own process: a signal wakes one thread that
// waits for it, or, when none waits, the next one that does. The handle is
// closed by the destructor; no thread may be waiting for it then.
class cThreadEvent {
public:
    virtual ~cThreadEvent() = default;

    virtual void Signal() = 0;
    // Signaled when the event was signalled (and is reset again), Timeout
    // when the time passed first; WAIT_FOREVER waits without limit, 0 only
    // looks.
    virtual eWaitResult Wait(uint32_t milliseconds) = 0;
};

// A thread of the own process, running its body once. The body must return
// when its owner asks it to (through an event and a flag of the owner's):
// Join, and the destructor, wait for that.
class cThread {
public:
    virtual ~cThread() = default;

    virtual void Join() = 0;
};

// Threads and the events that wake them.
class cThreads {
public:
    virtual ~cThreads() = default;

    // Null when the system has no event left.
    virtual std::unique_ptr<cThreadEvent> CreateThreadEvent() = 0;
    // Starts a thread that names itself for debuggers and then runs the body;
    // null when no thread could be created. The body runs on the new thread
    // and must not outlive what it refers to.
    virtual std::unique_ptr<cThread> StartThread(const std::string& name, std::function<void()> body) = 0;
};
