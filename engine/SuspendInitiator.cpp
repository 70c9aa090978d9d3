#include "engine/SuspendInitiator.h"

#include "engine/VistaSuspendEngine.h"
#include "foundation/MessageLogger.h"
#include "foundation/WindowsVersion.h"
#include "osconfig/OSConfiguration.h"

namespace {

constexpr const char* THREAD_NAME = "SLH Suspend Initiator";
// Time for the main thread to return to its message loop before the sleep
// call makes Windows broadcast the suspend.
constexpr uint32_t SUSPEND_DELAY_MS = 100;

}  // namespace

cSuspendInitiator::cSuspendInitiator(cPlatform& platform, cVistaSuspendEngine& engine,
                                     cOSConfiguration& osConfiguration, cWindowsVersion& version,
                                     cMessageLogger& logger)
    : Platform(platform), Engine(engine), OSConfiguration(osConfiguration), Logger(logger),
      UseLegacyCall_(!version.IsVistaOrLater()), Wake(Platform.Threads.CreateThreadEvent()),
      Stop(Platform.Threads.CreateThreadEvent())
{
    // Without its events the thread could never be woken or stopped.
    if (Wake && Stop)
        Thread = Platform.Threads.StartThread(THREAD_NAME, [this] { Run(); });
    Logger.WriteLine(UseLegacyCall_ ? "cSuspendInitiator - UseLegacyCall_ == true"
                                    : "cSuspendInitiator - UseLegacyCall_ == false");
}

cSuspendInitiator::~cSuspendInitiator()
{
    if (!Thread)
        return;
    Terminated = true;
    Wake->Signal();
    Stop->Signal();
    Thread->Join();
}

void cSuspendInitiator::SuspendSystem(bool standby)
{
    Standby = standby;
    Logger.WriteLine("cSuspendInitiator - SuspendSystem()");
    // The end of a wake without the user is where a due forced reboot takes
    // the place of the sleep.
    if ((Engine.IsNonUserResume() || Engine.IsUnattended()) && Engine.CheckForcedReboot())
        return;
    if (Wake)
        Wake->Signal();
}

void cSuspendInitiator::Run()
{
    // Terminated is checked before every wait: the destructor's signal may
    // already have been taken by the wait after a sleep call, and a wait
    // for another would never end.
    while (!Terminated && Wake->Wait(WAIT_FOREVER) == eWaitResult::Signaled && !Terminated) {
        Stop->Wait(SUSPEND_DELAY_MS);
        if (Terminated)
            break;
        // Returns after the wake. A failure is not reported: the log shows
        // the request without a suspend after it.
        OSConfiguration.Suspend(Standby, false, UseLegacyCall_);
        // Requests made while this one was under way were for this sleep.
        if (!Terminated)
            Wake->Wait(0);
    }
}
