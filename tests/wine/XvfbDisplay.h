#pragma once
#include <memory>
#include <string>

#include "ChildProcess.h"

// A virtual X display for the Wine programs: Xvfb on a display number it
// picks itself (so runs in parallel never collide), ready when the
// constructor returns, stopped by the destructor.
class cXvfbDisplay {
public:
    // Throws std::runtime_error when Xvfb is missing or does not come up.
    cXvfbDisplay();
    ~cXvfbDisplay();

    // The DISPLAY value, for example ":3".
    const std::string& Name() const { return Name_; }

private:
    std::unique_ptr<cChildProcess> Server;
    std::string Name_;
};
