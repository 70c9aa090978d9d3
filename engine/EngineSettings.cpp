#include "engine/EngineSettings.h"

namespace {
constexpr int LM = HIVE_LOCAL_MACHINE;
constexpr int CU = HIVE_CURRENT_USER;
constexpr int32_t LATE_FLAGS = 7;   // the launcher flags of most programs
constexpr int32_t EARLY_FLAGS = 3;  // those that must not wait
}  // namespace

cEngineSettings::cEngineSettings(cRegistry& registry)
    : TreatUnattendedAsAutomatic(registry, "TreatUnattendedAsAutomatic", LM, false),
      BlankScreen(registry, "BlankScreen", LM, 1),
      WakeMonitor(registry, "WakeMonitor", LM, false),
      RunOnUserInterfaceResume(registry, "RunOnUserInterfaceResume", LM, ""),
      RunOnUserResume(registry, "RunOnUserResume", LM, ""),
      RunOnAutoResume(registry, "RunOnAutoResume", LM, ""),
      RunOnUserSuspend(registry, "RunOnUserSuspend", LM, ""),
      RunOnUserSuspendEarly(registry, "RunOnUserSuspendEarly", LM, ""),
      RunOnAutoSuspend(registry, "RunOnAutoSuspend", LM, ""),
      RunOnAutoSuspendEarly(registry, "RunOnAutoSuspendEarly", LM, ""),
      RunOnAway(registry, "RunOnAway", LM, ""),
      RunOnAwayResume(registry, "RunOnAwayResume", LM, ""),
      RunOnReboot(registry, "RunOnReboot", LM, ""),
      RunOnDisplayOn(registry, "RunOnDisplayOn", LM, ""),
      RunOnDisplayOff(registry, "RunOnDisplayOff", LM, ""),
      RunOnUserInterfaceResumeFlags(registry, "RunOnUserInterfaceResumeFlags", LM, LATE_FLAGS),
      RunOnUserResumeFlags(registry, "RunOnUserResumeFlags", LM, LATE_FLAGS),
      RunOnAutoResumeFlags(registry, "RunOnAutoResumeFlags", LM, LATE_FLAGS),
      RunOnUserSuspendFlags(registry, "RunOnUserSuspendFlags", LM, LATE_FLAGS),
      RunOnUserSuspendEarlyFlags(registry, "RunOnUserSuspendEarlyFlags", LM, EARLY_FLAGS),
      RunOnAutoSuspendFlags(registry, "RunOnAutoSuspendFlags", LM, LATE_FLAGS),
      RunOnAutoSuspendEarlyFlags(registry, "RunOnAutoSuspendEarlyFlags", LM, EARLY_FLAGS),
      RunOnAwayFlags(registry, "RunOnAwayFlags", LM, LATE_FLAGS),
      RunOnAwayResumeFlags(registry, "RunOnAwayResumeFlags", LM, LATE_FLAGS),
      RunOnRebootFlags(registry, "RunOnRebootFlags", LM, LATE_FLAGS),
      RunOnDisplayOnFlags(registry, "RunOnDisplayOnFlags", LM, EARLY_FLAGS),
      RunOnDisplayOffFlags(registry, "RunOnDisplayOffFlags", LM, EARLY_FLAGS),
      SuspendMethod(registry, "SuspendMethod", LM, 0),
      RebootMode(registry, "RebootMode", LM, 1),
      eHomeCloseDelay(registry, "eHomeCloseDelay", LM, -1),
      MaxSuspendDelay(registry, "MaxSuspendDelay", LM, -1),
      ReversedResumeDelay(registry, "ReversedResumeDelay", LM, 1000),
      AutoRebootDelay(registry, "AutoRebootDelay", LM, 0),
      SleepState(registry, "SleepState", LM, 0),
      AutoTasksEnabled(registry, "AutoTasksEnabled", CU, false),
      SuccesiveNonAutoTasks(registry, "SuccesiveNonAutoTasks", CU, 0),
      DebugEngine(registry, "DebugEngine", LM, 0),
      SaveWindowTitels(registry, "SaveWindowTitels", LM, false),
      KillEhrecvrAtSuspend(registry, "KillEhrecvrAtSuspend", LM, false),
      RestartEhrecvrAtSuspend(registry, "RestartEhrecvrAtSuspend", LM, false),
      RestartEhschedAtSuspend(registry, "RestartEhschedAtSuspend", LM, false),
      RunAtHighPriority(registry, "RunAtHighPriority", LM, false),
      UnblankDelay(registry, "UnblankDelay", LM, 3000)
{
}
