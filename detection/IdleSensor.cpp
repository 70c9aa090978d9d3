#include "detection/IdleSensor.h"

#include <algorithm>

#include "platform/Clock.h"
#include "platform/Registry.h"

cTrigger::cTrigger(std::string name, int32_t id, uint32_t categories, uint32_t now)
    : Name(std::move(name)), Id(id), Categories(categories), LastSeenTick(now)
{
}

cSensor::cSensor(cClock& clock, std::string name) : Clock(clock), Name(std::move(name)) {}

void cSensor::Update()
{
    Counters.fill(0);
    for (auto& trigger : Triggers)
        trigger->SetActive(false);
    Scan();
}

int32_t cSensor::GetCounter(int index) const
{
    if (index < 0 || index >= SENSOR_COUNTER_COUNT)
        return 0;
    return Counters[static_cast<size_t>(index)];
}

const cTrigger* cSensor::GetTrigger(int n) const
{
    if (n < 0 || n >= GetTriggerCount())
        return nullptr;
    return Triggers[static_cast<size_t>(n)].get();
}

void cSensor::Count(cTrigger& trigger, uint32_t mask)
{
    trigger.SetLastSeen(Now());
    trigger.SetActive(true);
    const uint32_t categories = trigger.GetCategories() & mask;
    for (int i = 0; i < SENSOR_COUNTER_COUNT; ++i)
        if (categories & (1u << i))
            ++Counters[static_cast<size_t>(i)];
}

cTrigger& cSensor::Add(std::unique_ptr<cTrigger> trigger)
{
    Triggers.push_back(std::move(trigger));
    return *Triggers.back();
}

uint32_t cSensor::Now()
{
    return Clock.GetTickCount();
}

std::vector<std::string> ReadNonIdleList(cRegistry& registry, const std::string& key)
{
    std::vector<std::string> list;
    std::vector<std::string> names;
    if (registry.EnumValueNames(eHive::LocalMachine, key, names) != REGRESULT_SUCCESS)
        return list;
    for (const std::string& name : names) {
        cRegistryValue value;
        if (registry.ReadValue(eHive::LocalMachine, key, name, value) != REGRESULT_SUCCESS ||
            value.Type != REGTYPE_SZ)
            continue;
        list.emplace_back(value.Data.begin(), std::find(value.Data.begin(), value.Data.end(), 0));
    }
    return list;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&](char x, char y) { return lower(static_cast<unsigned char>(x)) ==
                                                   lower(static_cast<unsigned char>(y)); });
}
