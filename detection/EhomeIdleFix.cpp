#include "detection/EhomeIdleFix.h"

#include "detection/RecordingMonitor.h"
#include "engine/McePowerManager.h"
#include "foundation/MessageLogger.h"
#include "foundation/Settings.h"
#include "foundation/WindowsVersion.h"
#include "platform/Platform.h"
#include "platform/WinConst.h"

namespace {

constexpr uint32_t SYSTEM_AND_DISPLAY = ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED;

}  // namespace

cEhomeIdleFix::cEhomeIdleFix(cPlatform& platform, cMcePowerManager& engine, cRecordingMonitor& monitor,
                             cMessageLogger& logger, const cWindowsVersion& version)
    : VistaEhomeIdleFix(platform.Registry, "VistaEhomeIdleFix", HIVE_LOCAL_MACHINE, true),
      VistaRemoteIdleFix(platform.Registry, "VistaRemoteIdleFix", HIVE_LOCAL_MACHINE, true), Platform(platform),
      Engine(engine), Monitor(monitor), Logger(logger), ExecutionStateSlot(engine.AllocateExecutionStateSlot())
{
    VistaEhomeIdleFix.SetEnabled(IDLE_FIX_NOT_VISTA, version.IsVista());
    VistaRemoteIdleFix.SetEnabled(IDLE_FIX_NOT_VISTA, version.IsVista());
}

void cEhomeIdleFix::ApplyIdleFixes()
{
    if (VistaRemoteIdleFix)
        ApplyRemoteIdleFix();
    const bool mediaCenterIdle = Monitor.IsMediaCenterIdle();
    // An automatic wake must not be kept awake by Media Center's state.
    if (VistaEhomeIdleFix && !Engine.IsNonUserResume())
        ApplyEhomeIdleFix(mediaCenterIdle);
    // Followed also while the fixes are off, so that switching one on does
    // not act on a stale change.
    MediaCenterWasIdle = mediaCenterIdle;
}

void cEhomeIdleFix::ApplyRemoteIdleFix()
{
    const uint32_t lastInput = Engine.GetLastUserInputTick();
    if (lastInput == LastInputTick)
        return;
    LastInputTick = lastInput;
    Platform.PowerRequests.SetThreadExecutionState(SYSTEM_AND_DISPLAY);
}

void cEhomeIdleFix::ApplyEhomeIdleFix(bool mediaCenterIdle)
{
    if (mediaCenterIdle) {
        if (!MediaCenterWasIdle) {
            // Released; the Windows idle timeout runs from the last reset,
            // which keeps the display only while it is on.
            Engine.SetExecutionStateSlot(ExecutionStateSlot, 0);
            Logger.WriteLine("SetContinuousThreadExecutionState(0)");
            if (Engine.IsMonitorOn()) {
                Platform.PowerRequests.SetThreadExecutionState(SYSTEM_AND_DISPLAY);
                Logger.WriteLine("SetThreadExecutionState(ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED)");
            } else {
                Platform.PowerRequests.SetThreadExecutionState(ES_SYSTEM_REQUIRED);
                Logger.WriteLine("SetThreadExecutionState(ES_SYSTEM_REQUIRED)");
            }
        }
        if (Monitor.Settings.LogActivity)
            Logger.WriteLine("eHome is idle");
    } else if (MediaCenterWasIdle) {
        // Held until Media Center is idle again; the engine adds ES_CONTINUOUS.
        Engine.SetExecutionStateSlot(ExecutionStateSlot, SYSTEM_AND_DISPLAY);
        Logger.WriteLine("SetContinuousThreadExecutionState(ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED)");
    }
}
