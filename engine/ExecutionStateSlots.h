#pragma once
#include <array>
#include <cstdint>

class cPowerRequests;

// The execution states the detection requests: each holder owns one slot
// (1 to 10) and writes its ES_ flags there; Windows gets their combination
// as the main thread's continuous execution state. Owned by the engine;
// used on the main thread only.
class cExecutionStateSlots {
public:
    // powerRequests must outlive the slots.
    explicit cExecutionStateSlots(cPowerRequests& powerRequests) : PowerRequests(powerRequests) {}

    // 0 when all slots are taken (a holder with 0 writes into a slot that
    // is never combined).
    int Allocate();
    // Stores the flags and passes the combination to SetThreadExecutionState;
    // returns what that returns (the previous state, 0 on failure).
    uint32_t Set(int slot, uint32_t flags);
    // The flags of the slots handed out, with ES_CONTINUOUS (0x80000000).
    uint32_t GetCombined() const;

private:
    static constexpr int SLOT_COUNT = 10;

    cPowerRequests& PowerRequests;
    // Slot 0 is never combined.
    std::array<uint32_t, SLOT_COUNT + 1> Slots{};
    int Allocated = 0;
};
