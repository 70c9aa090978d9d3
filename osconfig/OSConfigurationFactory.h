#pragma once
#include <memory>

#include "foundation/WindowsVersion.h"
#include "osconfig/OSConfiguration.h"

// The OS configuration that fits the running Windows, for the start-up. The
// platform outlives the object.
std::unique_ptr<cOSConfiguration> CreateOSConfiguration(cPlatform& platform, const cWindowsVersion& version);
