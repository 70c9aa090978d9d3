#include "detection/NetSessionSensor.h"

#include "foundation/Settings.h"
#include "platform/Platform.h"

namespace {

constexpr uint32_t SESSION_CATEGORIES = 1u << NETSESSION_COUNTER_ACTIVE;
constexpr uint32_t NO_ACTIVITY_SPAN_MS = 36000000;  // 10 hours
// A server that keeps asking for more without handing out entries must not
// hold up the one-second evaluation for ever.
constexpr int MAX_PAGES = 1000;

}  // namespace

cSessionSensor::cSessionSensor(cPlatform& platform)
    : cSensor(platform.Clock, "NetSession"),
      Sessions(platform.Sessions),
      Users(ReadNonIdleList(platform.Registry, std::string(SETTINGS_KEY) + "\\" + NON_IDLE_NETWORKSESSIONS_KEY))
{
}

void cSessionSensor::Scan()
{
    uint32_t resumeHandle = 0;
    std::vector<cNetSession> block;
    for (int page = 0; page < MAX_PAGES; ++page) {
        const uint32_t status = Sessions.EnumerateNetSessions(resumeHandle, block);
        if (status != NETSESSION_SUCCESS && status != NETSESSION_MORE_DATA)
            return;
        for (const cNetSession& session : block)
            Seen(session);
        if (status != NETSESSION_MORE_DATA || block.empty())
            return;
    }
}

void cSessionSensor::Seen(const cNetSession& session)
{
    for (const std::string& user : Users) {
        if (!EqualsIgnoringCase(session.UserName, user))
            continue;
        cTrigger& trigger = TriggerOf(session.UserName);
        if (session.IdleSeconds <= NET_SESSION_ACTIVE_IDLE_SECONDS)
            Count(trigger);
        else
            trigger.SetLastSeen(Now() - session.IdleSeconds * 1000u);
    }
}

cTrigger& cSessionSensor::TriggerOf(const std::string& userName)
{
    for (auto& trigger : Triggers)
        if (trigger->GetName() == userName)
            return *trigger;
    return Add(std::make_unique<cSessionTrigger>(userName, SESSION_CATEGORIES, Now()));
}

void cSessionSensor::WakeReset()
{
    const uint32_t justBefore = Now() - 1;
    for (auto& trigger : Triggers)
        trigger->SetLastSeen(justBefore);
}

uint32_t cSessionSensor::GetLatestActivity()
{
    uint32_t latest = Now() - NO_ACTIVITY_SPAN_MS;
    for (const auto& trigger : Triggers) {
        // Signed difference: correct across the wrap of the tick count.
        if (static_cast<int32_t>(trigger->LastSeen() - latest) > 0)
            latest = trigger->LastSeen();
    }
    return latest;
}
