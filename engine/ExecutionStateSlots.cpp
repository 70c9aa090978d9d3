#include "engine/ExecutionStateSlots.h"

#include "platform/Power.h"

namespace {

constexpr uint32_t ES_CONTINUOUS = 0x80000000;

}  // namespace

int cExecutionStateSlots::Allocate()
{
    if (Allocated >= SLOT_COUNT)
        return 0;
    return ++Allocated;
}

uint32_t cExecutionStateSlots::Set(int slot, uint32_t flags)
{
    if (slot >= 0 && slot <= SLOT_COUNT)
        Slots[static_cast<size_t>(slot)] = flags;
    return PowerRequests.SetThreadExecutionState(GetCombined());
}

uint32_t cExecutionStateSlots::GetCombined() const
{
    uint32_t combined = ES_CONTINUOUS;
    for (int slot = 1; slot <= Allocated; ++slot)
        combined |= Slots[static_cast<size_t>(slot)];
    return combined;
}
