#include "platform/sim/SimThreads.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/sim/SimClock.h"
#include "platform/sim/SimWindowing.h"

namespace {

class cSimThreadEvent;

// Unwinds the body of a thread whose wait is broken off.
struct cThreadAbort {};

struct cThreadState {
    std::string Name;
    std::function<void()> Body;
    std::thread Thread;
    bool Ended = false;
    bool Aborting = false;
    // The wait the thread is in: the event (null when it can only time out)
    // and, for a timed wait, the moment it times out.
    cSimThreadEvent* WaitingFor = nullptr;
    bool Timed = false;
    uint64_t Due = 0;
    // Tells a scheduled time-out whether its wait is still the current one.
    uint64_t WaitNumber = 0;
    eWaitResult Result = eWaitResult::Failed;
};

// The simulated thread running on this real thread; null on the
// simulation's own thread.
thread_local cThreadState* CurrentThread = nullptr;

}  // namespace

// Control passes between the simulation and its threads under one mutex:
// Running names the simulated thread that may run, null the simulation.
struct cSimThreads::cScheduler : std::enable_shared_from_this<cSimThreads::cScheduler> {
    cScheduler(cSimClock& clock, cSimWindowing& windowing) : Clock(clock), Windowing(windowing) {}

    // On the simulation's thread: lets the thread run until it waits again
    // or its body has returned.
    void RunThread(cThreadState& thread)
    {
        std::unique_lock<std::mutex> lock(Mutex);
        Running = &thread;
        Turn.notify_all();
        Turn.wait(lock, [this] { return Running == nullptr; });
    }

    // On a simulated thread: gives control back and waits for its next turn.
    void Yield(cThreadState& thread)
    {
        std::unique_lock<std::mutex> lock(Mutex);
        Running = nullptr;
        Turn.notify_all();
        Turn.wait(lock, [&] { return Running == &thread; });
    }

    // Runs the thread now when the simulation asks, or from the message loop
    // when another simulated thread does (only one runs at a time).
    void Resume(const std::shared_ptr<cThreadState>& thread)
    {
        if (CurrentThread == nullptr) {
            RunThread(*thread);
            return;
        }
        std::weak_ptr<cScheduler> self = weak_from_this();
        Windowing.Schedule(Clock.Now(), [self, thread] {
            if (auto scheduler = self.lock(); scheduler && !thread->Ended)
                scheduler->RunThread(*thread);
        });
    }

    // Ends the thread's current wait with the result.
    static void EndWait(cThreadState& thread, eWaitResult result)
    {
        thread.WaitingFor = nullptr;
        thread.Timed = false;
        thread.Result = result;
        ++thread.WaitNumber;
    }

    // Brings the thread's body to its end (see Join in the header).
    void Finish(cThreadState& thread)
    {
        while (!thread.Ended) {
            if (thread.Timed) {
                Clock.AdvanceTo(thread.Due);
                EndWait(thread, eWaitResult::Timeout);
            } else {
                EndWait(thread, eWaitResult::Abandoned);
                thread.Aborting = true;
                ++BrokenOff;
            }
            RunThread(thread);
        }
        if (thread.Thread.joinable())
            thread.Thread.join();
    }

    std::shared_ptr<cThreadState> Find(const cThreadState* state)
    {
        for (const auto& thread : Threads)
            if (thread.get() == state)
                return thread;
        return nullptr;
    }

    cSimClock& Clock;
    cSimWindowing& Windowing;
    std::mutex Mutex;
    std::condition_variable Turn;
    cThreadState* Running = nullptr;
    std::vector<std::shared_ptr<cThreadState>> Threads;
    std::vector<std::string> Names;
    bool EventCreationFails = false;
    bool ThreadCreationFails = false;
    int BrokenOff = 0;
};

namespace {

using cScheduler = cSimThreads::cScheduler;

void ThreadMain(cScheduler* scheduler, cThreadState* thread)
{
    CurrentThread = thread;
    {
        std::unique_lock<std::mutex> lock(scheduler->Mutex);
        scheduler->Turn.wait(lock, [&] { return scheduler->Running == thread; });
    }
    try {
        if (!thread->Aborting)
            thread->Body();
    } catch (const cThreadAbort&) {
    }
    thread->Body = nullptr;
    std::lock_guard<std::mutex> lock(scheduler->Mutex);
    thread->Ended = true;
    scheduler->Running = nullptr;
    scheduler->Turn.notify_all();
}

class cSimThreadEvent : public cThreadEvent {
public:
    explicit cSimThreadEvent(std::shared_ptr<cScheduler> scheduler) : Scheduler(std::move(scheduler)) {}

    ~cSimThreadEvent() override
    {
        // A thread still waiting for this event can only time out now.
        for (const auto& thread : Scheduler->Threads)
            if (thread->WaitingFor == this)
                thread->WaitingFor = nullptr;
    }

    void Signal() override
    {
        for (const auto& thread : Scheduler->Threads) {
            if (thread->WaitingFor == this) {
                cScheduler::EndWait(*thread, eWaitResult::Signaled);
                Scheduler->Resume(thread);
                return;
            }
        }
        Signaled = true;
    }

    eWaitResult Wait(uint32_t milliseconds) override
    {
        if (Take())
            return eWaitResult::Signaled;
        if (milliseconds == 0)
            return eWaitResult::Timeout;
        cThreadState* self = CurrentThread;
        if (self == nullptr) {
            if (milliseconds == WAIT_FOREVER)
                return eWaitResult::Failed;
            Scheduler->Clock.Sleep(milliseconds);
            return Take() ? eWaitResult::Signaled : eWaitResult::Timeout;
        }

        self->WaitingFor = this;
        self->Timed = milliseconds != WAIT_FOREVER;
        self->Result = eWaitResult::Timeout;
        const uint64_t number = ++self->WaitNumber;
        if (self->Timed) {
            self->Due = Scheduler->Clock.Now() + milliseconds;
            std::weak_ptr<cScheduler> weak = Scheduler;
            std::weak_ptr<cThreadState> thread = Scheduler->Find(self);
            Scheduler->Windowing.Schedule(self->Due, [weak, thread, number] {
                auto scheduler = weak.lock();
                auto state = thread.lock();
                if (!scheduler || !state || state->Ended || state->WaitNumber != number)
                    return;  // signalled or ended before the time was up
                cScheduler::EndWait(*state, eWaitResult::Timeout);
                scheduler->RunThread(*state);
            });
        }
        Scheduler->Yield(*self);
        if (self->Aborting)
            throw cThreadAbort{};
        return self->Result;
    }

private:
    bool Take()
    {
        const bool signaled = Signaled;
        Signaled = false;
        return signaled;
    }

    std::shared_ptr<cScheduler> Scheduler;
    bool Signaled = false;
};

class cSimThread : public cThread {
public:
    cSimThread(std::shared_ptr<cScheduler> scheduler, std::shared_ptr<cThreadState> state)
        : Scheduler(std::move(scheduler)), State(std::move(state))
    {
    }
    ~cSimThread() override { Join(); }

    void Join() override { Scheduler->Finish(*State); }

private:
    std::shared_ptr<cScheduler> Scheduler;
    std::shared_ptr<cThreadState> State;
};

}  // namespace

cSimThreads::cSimThreads(cSimClock& clock, cSimWindowing& windowing)
    : Scheduler(std::make_shared<cScheduler>(clock, windowing))
{
}

cSimThreads::~cSimThreads()
{
    // Threads whose objects were never destroyed still end here.
    for (const auto& thread : Scheduler->Threads)
        Scheduler->Finish(*thread);
}

std::unique_ptr<cThreadEvent> cSimThreads::CreateThreadEvent()
{
    if (Scheduler->EventCreationFails)
        return nullptr;
    return std::make_unique<cSimThreadEvent>(Scheduler);
}

std::unique_ptr<cThread> cSimThreads::StartThread(const std::string& name, std::function<void()> body)
{
    if (Scheduler->ThreadCreationFails)
        return nullptr;
    auto state = std::make_shared<cThreadState>();
    state->Name = name;
    state->Body = std::move(body);
    Scheduler->Threads.push_back(state);
    Scheduler->Names.push_back(name);
    state->Thread = std::thread(ThreadMain, Scheduler.get(), state.get());
    // Created running: the body goes as far as its first wait.
    Scheduler->Resume(state);
    return std::make_unique<cSimThread>(Scheduler, state);
}

const std::vector<std::string>& cSimThreads::StartedNames() const
{
    return Scheduler->Names;
}

int cSimThreads::RunningThreads() const
{
    int running = 0;
    for (const auto& thread : Scheduler->Threads)
        running += thread->Ended ? 0 : 1;
    return running;
}

int cSimThreads::BrokenOffWaits() const
{
    return Scheduler->BrokenOff;
}

void cSimThreads::SetEventCreationFails(bool fails)
{
    Scheduler->EventCreationFails = fails;
}

void cSimThreads::SetThreadCreationFails(bool fails)
{
    Scheduler->ThreadCreationFails = fails;
}
