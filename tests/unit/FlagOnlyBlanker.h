#pragma once
#include "targets/ScreenBlanker.h"

// A blanker for tests of its callers: it keeps only the blanking flag, so
// the callers' decisions and log lines are those with the real one, without
// a thread or a window.
class cFlagOnlyBlanker final : public cScreenBlanker {
public:
    bool IsBlanking() const override { return Blanking; }
    void StartBlanking() override { Blanking = true; }
    void StopBlanking(bool /*restartPending*/) override { Blanking = false; }
    void WatchForWindow(const std::string& /*windowClass*/, int32_t /*delay*/) override {}
    void HideTaskBar() override {}

private:
    bool Blanking = false;
};
