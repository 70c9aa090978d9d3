#pragma once
#include <cstdint>
#include <string>

// What the engine asks of the screen blanker, all on the main thread: a
// full-screen window hides the desktop while the front-ends are closed at
// suspend and started after a wake.
class cScreenBlanker {
public:
    virtual ~cScreenBlanker() = default;

    virtual bool IsBlanking() const = 0;
    // Blanks, unless already blanking.
    virtual void StartBlanking() = 0;
    // Ends the blanking, if any; restartPending tells that no front-end is
    // being started.
    virtual void StopBlanking(bool restartPending) = 0;
    // While blanking: ends it once a window of the class is visible, or
    // after the delay (ms).
    virtual void WatchForWindow(const std::string& windowClass, int32_t delay) = 0;
    // While blanking: hides the taskbar.
    virtual void HideTaskBar() = 0;
};

// Stands in for the blanker until it has its window: it keeps only the
// blanking flag, so the engine's decisions and their log lines are those of
// the real one, but nothing is shown, watched or hidden.
class cFlagOnlyBlanker final : public cScreenBlanker {
public:
    bool IsBlanking() const override { return Blanking; }
    void StartBlanking() override { Blanking = true; }
    void StopBlanking(bool /*restartPending*/) override { Blanking = false; }
    // Nothing is shown, so there is nothing to take away when the window
    // appears; the flag stays until the engine stops the blanking.
    void WatchForWindow(const std::string& /*windowClass*/, int32_t /*delay*/) override {}
    void HideTaskBar() override {}

private:
    bool Blanking = false;
};
