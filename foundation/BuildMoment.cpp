#include "foundation/BuildMoment.h"

const char* const BUILD_MOMENT = __DATE__ ", " __TIME__;
