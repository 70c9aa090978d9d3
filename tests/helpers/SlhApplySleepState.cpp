// slhsleepstate STATE
//
// Applies a sleep state (a SleepState code: 2, 3, 4, 5 or 101) through the
// program's own OS configuration on the real Windows backend, as the
// settings window does when the user chooses one: the configuration class
// that fits the running Windows, then ApplySleepState(STATE). Its message
// boxes are modal, so run it under slhboxwatch. Prints
//   name=<the configuration's name>
//   result=<ApplySleepState's result, 1 or 0>
// and exits with 0 (3 for a bad argument).
#include "NumberArg.h"
#include "foundation/WindowsVersion.h"
#include "osconfig/OSConfigurationFactory.h"
#include "platform/win32/Win32Platform.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    long long state = 0;
    if (argc != 2 || !ParseInteger(argv[1], state) || state < 0 || state > 255) {
        std::fprintf(stderr, "usage: slhsleepstate STATE\n");
        return 3;
    }

    cWin32Platform backend;
    cPlatform& platform = backend.Get();
    const cWindowsVersion version(platform);
    const std::unique_ptr<cOSConfiguration> configuration = CreateOSConfiguration(platform, version);
    std::printf("name=%s\n", configuration->GetName().c_str());
    std::fflush(stdout);
    const bool applied = configuration->ApplySleepState(static_cast<uint8_t>(state));
    std::printf("result=%d\n", applied ? 1 : 0);
    return 0;
}
