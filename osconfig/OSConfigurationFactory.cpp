#include "osconfig/OSConfigurationFactory.h"

#include "osconfig/VistaConfiguration.h"

std::unique_ptr<cOSConfiguration> CreateOSConfiguration(cPlatform& platform, const cWindowsVersion& version)
{
    const bool mediaCenter = version.IsMediaCenter();
    switch (version.GetVersionCode()) {
    case WV_SERVER2003:
        return std::make_unique<cServer2003Configuration>(platform);
    case WV_VISTA:
        if (mediaCenter)
            return std::make_unique<cVistaMCEConfiguration>(platform);
        return std::make_unique<cVistaConfiguration>(platform);
    case WV_WINDOWS7:
        if (mediaCenter)
            return std::make_unique<cWindows7MCConfiguration>(platform);
        return std::make_unique<cWindows7Configuration>(platform);
    default:
        if (mediaCenter)
            return std::make_unique<cXPMCEConfiguration>(platform);
        return std::make_unique<cXPConfiguration>(platform);
    }
}
