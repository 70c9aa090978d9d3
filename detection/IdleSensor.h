#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class cClock;
class cRegistry;

constexpr int SENSOR_COUNTER_COUNT = 10;

// One thing found that keeps the machine awake: a process or a network
// session user. Bit i of the categories says the trigger adds to counter i
// of its sensor.
class cTrigger {
public:
    cTrigger(std::string name, int32_t id, uint32_t categories, uint32_t now);
    virtual ~cTrigger() = default;
    cTrigger(const cTrigger&) = delete;
    cTrigger& operator=(const cTrigger&) = delete;

    // The tick count at which it was last seen active.
    virtual uint32_t LastSeen() const { return LastSeenTick; }

    const std::string& GetName() const { return Name; }
    int32_t GetId() const { return Id; }
    uint32_t GetCategories() const { return Categories; }
    bool IsActive() const { return Active; }

    void SetLastSeen(uint32_t tick) { LastSeenTick = tick; }
    void SetActive(bool active) { Active = active; }

private:
    std::string Name;
    int32_t Id;
    uint32_t Categories;
    uint32_t LastSeenTick;
    bool Active = true;
};

// Finds things that keep the machine awake and counts them in ten counters.
// Owns its triggers; a trigger lives from the scan that first finds it until
// the sensor drops it (WakeReset) or is destroyed.
class cSensor {
public:
    cSensor(cClock& clock, std::string name);
    virtual ~cSensor() = default;
    cSensor(const cSensor&) = delete;
    cSensor& operator=(const cSensor&) = delete;

    // Zeroes the counters, marks every trigger inactive, then scans.
    void Update();
    // After a wake, before the first scan.
    virtual void WakeReset() {}

    int32_t GetCounter(int index) const;
    int GetTriggerCount() const { return static_cast<int>(Triggers.size()); }
    // Null when n is outside 0 .. GetTriggerCount() - 1.
    const cTrigger* GetTrigger(int n) const;
    const std::string& GetName() const { return Name; }

protected:
    virtual void Scan() = 0;
    // Marks the trigger seen and active now, and adds 1 to each counter whose
    // bit is set in both the trigger's categories and the mask.
    void Count(cTrigger& trigger, uint32_t mask = 0xFFFFFFFF);
    cTrigger& Add(std::unique_ptr<cTrigger> trigger);
    uint32_t Now();

    cClock& Clock;
    std::vector<std::unique_ptr<cTrigger>> Triggers;

private:
    const std::string Name;
    std::array<int32_t, SENSOR_COUNTER_COUNT> Counters{};
};

// The data strings of every REG_SZ value of the key (under HKEY_LOCAL_MACHINE),
// in the order the registry enumerates them. Values of other types are
// skipped; a missing key gives an empty list.
std::vector<std::string> ReadNonIdleList(cRegistry& registry, const std::string& key);

// Equal when they differ only in the case of ASCII letters.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
