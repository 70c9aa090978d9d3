#pragma once
#include "platform/Threads.h"

// Threads through _beginthreadex (so that the C runtime is set up for them)
// and auto-reset events through CreateEventA. A thread names itself with
// SetThreadDescription where Windows has it (looked up at run time), else,
// only while a debugger is attached, with the debugger's thread-name
// exception.
class cWin32Threads final : public cThreads {
public:
    std::unique_ptr<cThreadEvent> CreateThreadEvent() override;
    std::unique_ptr<cThread> StartThread(const std::string& name, std::function<void()> body) override;
};
