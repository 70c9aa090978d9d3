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
