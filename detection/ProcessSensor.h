#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "detection/IdleSensor.h"

struct cPlatform;
class cProcessList;

// Counters of the process sensor.
constexpr int PROCESS_COUNTER_ALL = 0;       // matching processes of both kinds
constexpr int PROCESS_COUNTER_ALL_2 = 1;     // the same
constexpr int PROCESS_COUNTER_NON_USER = 2;  // the same
constexpr int PROCESS_COUNTER_UPDATE = 3;    // running Media Center updates only

// The Media Center update program, always watched.
constexpr std::string_view MEDIA_CENTER_UPDATE_PROGRAM = "mcupdate.exe";
// The list of programs that keep the machine awake, under the settings key.
constexpr const char* NON_IDLE_APPLICATIONS_KEY = "Non Idle Applications";

// A running process that keeps the machine awake; its id is the process id.
class cProcessTrigger : public cTrigger {
public:
    cProcessTrigger(const std::string& name, int32_t processId, uint32_t categories, uint32_t now)
        : cTrigger(name, processId, categories, now)
    {
    }
};

// Watches for running programs of the "Non Idle Applications" list and for
// the Media Center update program. One trigger per process id.
class cProcessSensor : public cSensor {
public:
    // Reads the program list once, now.
    explicit cProcessSensor(cPlatform& platform);

    // Forgets the processes that the last scan did not find.
    void WakeReset() override;

protected:
    void Scan() override;

private:
    cTrigger& TriggerOf(std::string_view exeFile, uint32_t processId, uint32_t categories);

    cProcessList& Processes;
    const std::vector<std::string> Programs;
};
