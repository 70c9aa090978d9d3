#pragma once
#include <cstdint>

// Whole seconds, rounded to the nearest, from the tick count tick to the tick
// count now. Unsigned 32-bit arithmetic, so a span across the wrap of the
// tick count (every 49.7 days) still comes out right.
constexpr uint32_t SecondsSince(uint32_t now, uint32_t tick)
{
    return static_cast<uint32_t>(now - tick + 500u) / 1000u;
}
