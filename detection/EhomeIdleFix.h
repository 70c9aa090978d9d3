#pragma once
#include <cstdint>

#include "foundation/PersistentVariables.h"

struct cPlatform;
class cMcePowerManager;
class cMessageLogger;
class cRecordingMonitor;
class cWindowsVersion;

// Disable reason of both idle fixes: they apply to Windows Vista alone.
constexpr uint32_t IDLE_FIX_NOT_VISTA = 0x04;

// Keeps the Windows idle timers in line with what Media Center really does,
// on Windows Vista, whose own idle detection misreads it.
//
// The eHome idle fix holds the system and the display awake through one of
// the engine's execution-state slots while Media Center is busy, and gives
// the idle timers one last reset when it becomes idle; the remote idle fix
// resets the idle timers at each new user input the engine sees (input from
// a remote does not always reach them).
//
// Created by the main window in every role (the configurator edits the
// settings); where the engine runs, the main window calls ApplyIdleFixes
// after each evaluation of the recording monitor. Main thread only. It
// holds on to the engine, so the main window destroys it with the engine
// at session end.
class cEhomeIdleFix {
public:
    // Takes one execution-state slot of the engine, kept for the program's
    // life. The platform, engine, monitor and logger must outlive the fix.
    cEhomeIdleFix(cPlatform& platform, cMcePowerManager& engine, cRecordingMonitor& monitor, cMessageLogger& logger,
                  const cWindowsVersion& version);
    cEhomeIdleFix(const cEhomeIdleFix&) = delete;
    cEhomeIdleFix& operator=(const cEhomeIdleFix&) = delete;

    // Once per second, right after the monitor's evaluation.
    void ApplyIdleFixes();
    // At an automatic or critical resume: a busy Media Center takes the
    // slot again at the next call, an idle one leaves it as it was.
    void RearmAfterWake() { MediaCenterWasIdle = true; }

    cPersistentBool VistaEhomeIdleFix;
    cPersistentBool VistaRemoteIdleFix;

private:
    void ApplyRemoteIdleFix();
    void ApplyEhomeIdleFix(bool mediaCenterIdle);

    cPlatform& Platform;
    cMcePowerManager& Engine;
    cRecordingMonitor& Monitor;
    cMessageLogger& Logger;
    const int ExecutionStateSlot;
    bool MediaCenterWasIdle = true;
    uint32_t LastInputTick = 0;
};
