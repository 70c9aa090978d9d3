#pragma once
#include "foundation/PersistentVariables.h"

// The engine's settings, one registry value each (read at every use, so a
// change made by the configurator process counts at once). The constructor
// creates them in this order and writes the default of any that is missing.
struct cEngineSettings {
    explicit cEngineSettings(cRegistry& registry);

    // A wake without user input counts as automatic.
    cPersistentBool TreatUnattendedAsAutomatic;
    // Non-zero: blank the screen while the front-ends are closed and started.
    cPersistentInteger BlankScreen;
    // Switch the monitor on when the user interface is restored.
    cPersistentBool WakeMonitor;

    // Programs run at the events (empty: nothing is run) ...
    cPersistentAnsiString RunOnUserInterfaceResume;
    cPersistentAnsiString RunOnUserResume;
    cPersistentAnsiString RunOnAutoResume;
    cPersistentAnsiString RunOnUserSuspend;
    cPersistentAnsiString RunOnUserSuspendEarly;
    cPersistentAnsiString RunOnAutoSuspend;
    cPersistentAnsiString RunOnAutoSuspendEarly;
    cPersistentAnsiString RunOnAway;
    cPersistentAnsiString RunOnAwayResume;
    cPersistentAnsiString RunOnReboot;
    cPersistentAnsiString RunOnDisplayOn;
    cPersistentAnsiString RunOnDisplayOff;
    // ... and the launcher flags each is started with.
    cPersistentInteger RunOnUserInterfaceResumeFlags;
    cPersistentInteger RunOnUserResumeFlags;
    cPersistentInteger RunOnAutoResumeFlags;
    cPersistentInteger RunOnUserSuspendFlags;
    cPersistentInteger RunOnUserSuspendEarlyFlags;
    cPersistentInteger RunOnAutoSuspendFlags;
    cPersistentInteger RunOnAutoSuspendEarlyFlags;
    cPersistentInteger RunOnAwayFlags;
    cPersistentInteger RunOnAwayResumeFlags;
    cPersistentInteger RunOnRebootFlags;
    cPersistentInteger RunOnDisplayOnFlags;
    cPersistentInteger RunOnDisplayOffFlags;

    // 0 or 1: sleep with SetSystemPowerState, else SetSuspendState (XP engine).
    cPersistentInteger SuspendMethod;
    // RM_* schedule of forced reboots; reads RM_NEVER_REBOOT while disabled.
    cPersistentInteger RebootMode;
    // Milliseconds the suspend handler waits before Windows sleeps (the
    // "standby delay"); -1 until the engine's construction replaces it.
    cPersistentInteger eHomeCloseDelay;
    // Upper end of the configurator's standby-delay slider; -1 likewise.
    cPersistentInteger MaxSuspendDelay;
    // Wait before the user interface is restored after resume events that
    // arrived in reversed order.
    cPersistentInteger ReversedResumeDelay;
    // Wait after a forced reboot before going back to standby; 0: the engine's own.
    cPersistentInteger AutoRebootDelay;
    // SYSTEM_POWER_STATE number of the chosen sleep state; 5 is hibernation.
    cPersistentInteger SleepState;
    // Per user: this machine's automatic wakes can be told from user wakes,
    // and the user wakes since the last automatic one.
    cPersistentBool AutoTasksEnabled;
    cPersistentInteger SuccesiveNonAutoTasks;
    // 0x1: timing lines after a suspend; 0x2: raised priority during a suspend.
    cPersistentInteger DebugEngine;
    cPersistentBool SaveWindowTitels;
    // Kept for the configurator only.
    cPersistentBool KillEhrecvrAtSuspend;
    cPersistentBool RestartEhrecvrAtSuspend;
    cPersistentBool RestartEhschedAtSuspend;
    cPersistentBool RunAtHighPriority;
    // Handed to the blanker when a front-end is started after a wake.
    cPersistentInteger UnblankDelay;
};

constexpr int32_t SLEEP_STATE_HIBERNATION = 5;
constexpr int32_t DEBUG_ENGINE_TIMING = 0x1;
constexpr int32_t DEBUG_ENGINE_PRIORITY = 0x2;
