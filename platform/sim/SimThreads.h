#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/Threads.h"

class cSimClock;
class cSimWindowing;

// Threads on the virtual time line. A simulated thread is a real thread that
// never runs at the same time as the simulation: the two hand control to
// each other, so everything happens in one order, the same at every run,
// and the code a thread runs is the code it runs on Windows.
//
// - StartThread runs the new thread's body at once, up to its first wait.
// - Signal, made on the simulation's thread, runs the thread that waits for
//   the event up to its next wait before it returns.
// - A thread's wait with a time limit ends from the message loop: the
//   simulated windowing runs the thread on at the virtual moment the time is
//   up, unless a signal came first. Virtual time passes meanwhile, and the
//   simulation goes on with whatever else is due.
// - A wait on the simulation's own thread lets virtual time pass (the
//   clock's Sleep); a wait without limit there fails, as nothing could end it.
// - Join, and destroying a thread object, end a thread that is still in a
//   wait: a timed wait times out at once (the clock moves to its end), a wait
//   without limit is broken off and the body unwound from it.
class cSimThreads : public cThreads {
public:
    cSimThreads(cSimClock& clock, cSimWindowing& windowing);
    ~cSimThreads() override;
    cSimThreads(const cSimThreads&) = delete;
    cSimThreads& operator=(const cSimThreads&) = delete;

    std::unique_ptr<cThreadEvent> CreateThreadEvent() override;
    std::unique_ptr<cThread> StartThread(const std::string& name, std::function<void()> body) override;

    // The names of the threads started, in order.
    const std::vector<std::string>& StartedNames() const;
    // Threads whose body has not returned yet.
    int RunningThreads() const;
    // Waits without limit that Join had to break off. On Windows each of
    // them is a join that never returns: a program that hangs as it closes.
    int BrokenOffWaits() const;
    void SetEventCreationFails(bool fails);
    void SetThreadCreationFails(bool fails);

    struct cScheduler;

private:
    std::shared_ptr<cScheduler> Scheduler;
};
