#pragma once
#include <string>
#include <vector>

#include "detection/IdleSensor.h"
#include "platform/Sessions.h"

struct cPlatform;

// Counter of the session sensor: listed users with a session idle for at
// most NET_SESSION_ACTIVE_IDLE_SECONDS.
constexpr int NETSESSION_COUNTER_ACTIVE = 1;
constexpr uint32_t NET_SESSION_ACTIVE_IDLE_SECONDS = 10;
// The list of user names whose file sessions keep the machine awake, under
// the settings key.
constexpr const char* NON_IDLE_NETWORKSESSIONS_KEY = "Non Idle Networksessions";

// A network-session user; its name is the user name as the session reports it.
class cSessionTrigger : public cTrigger {
public:
    cSessionTrigger(const std::string& name, uint32_t categories, uint32_t now) : cTrigger(name, 0, categories, now) {}
};

// Watches the network file sessions of the users of the
// "Non Idle Networksessions" list. One trigger per user name; triggers are
// kept for the life of the sensor.
class cSessionSensor : public cSensor {
public:
    // Reads the user list once, now.
    explicit cSessionSensor(cPlatform& platform);

    // Every known user counts as seen just now.
    void WakeReset() override;
    // The latest last-seen tick of all triggers, or 10 hours ago when none
    // is later.
    uint32_t GetLatestActivity();

protected:
    void Scan() override;

private:
    void Seen(const cNetSession& session);
    cTrigger& TriggerOf(const std::string& userName);

    cSessions& Sessions;
    const std::vector<std::string> Users;
};
