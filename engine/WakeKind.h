#pragma once
#include <cstdint>

#include "engine/PowerManager.h"

// How the current wake counts: the two settings that decide it, read
// together, and what the system reported at the same moment. A value taken
// for one question or one evaluation, never kept across them.
struct cWakeKind {
    bool TreatUnattendedAsAutomatic = false;
    // The configured sleep state is hibernation, after which the system's
    // report of an automatic wake is not trusted.
    bool Hibernation = false;
    // IsSystemResumeAutomatic as it came.
    int32_t SystemAutomatic = 0;
    // No user input since the baseline, or away mode.
    bool Unattended = false;
    bool AwayMode = false;

    // The wake counts as automatic.
    bool IsNonUserResume() const
    {
        return (TreatUnattendedAsAutomatic && Unattended) || (!Hibernation && SystemAutomatic != 0);
    }

    // AS_NON_USER for an automatic or unattended wake or away mode, else
    // AS_MEDIACENTER while Media Center's window exists, else AS_DESKTOP.
    int AwakeState(bool mediaCenterRunning) const
    {
        if (IsNonUserResume() || AwayMode)
            return AS_NON_USER;
        return mediaCenterRunning ? AS_MEDIACENTER : AS_DESKTOP;
    }
};
