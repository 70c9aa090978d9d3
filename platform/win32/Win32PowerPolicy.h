#pragma once
#include "platform/PowerPolicy.h"

// powrprof.dll, loaded at run time: the program must start where it is
// missing, and its functions differ between Windows versions.
class cWin32PowerPolicy final : public cPowerPolicy {
public:
    std::unique_ptr<cPowerLibrary> LoadPowerLibrary() override;
};
