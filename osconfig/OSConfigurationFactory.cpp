#include "osconfig/OSConfigurationFactory.h"

// Vista and Windows 7 use the XP classes until their own family exists; the
// legacy power interface still works there.
std::unique_ptr<cOSConfiguration> CreateOSConfiguration(cPlatform& platform, const cWindowsVersion& version)
{
    if (version.GetVersionCode() == WV_SERVER2003)
        return std::make_unique<cServer2003Configuration>(platform);
    if (version.IsMediaCenter())
        return std::make_unique<cXPMCEConfiguration>(platform);
    return std::make_unique<cXPConfiguration>(platform);
}
