#pragma once
// The small simulated areas: mutexes, errors, dialogs, version resources,
// system facts and the locale.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Sync.h"
#include "platform/SystemInfo.h"
#include "platform/VersionResources.h"

class cSimClock;

// Named mutexes of the simulated session. The program is single-threaded on
// the simulator, so "another owner" is a test holding the mutex: a wait on
// it times out after the virtual wait.
class cSimSynchronization : public cSynchronization {
public:
    explicit cSimSynchronization(cSimClock& clock) : Clock(clock) {}

    std::unique_ptr<cNamedMutex> CreateNamedMutex(const std::string& name) override;

    void SetCreationFails(bool fails) { CreationFails = fails; }
    void HoldByOtherProcess(const std::string& name, bool held) { State[name].HeldElsewhere = held; }
    // The next wait on the mutex reports that its owner died holding it.
    void Abandon(const std::string& name) { State[name].Abandoned = true; }
    void SetReleaseFails(bool fails) { ReleaseFails = fails; }
    std::vector<std::string> CreatedNames() const { return Created; }

    struct cState {
        bool HeldElsewhere = false;
        bool Abandoned = false;
        int OwnCount = 0;
    };

private:
    friend class cSimNamedMutex;
    cSimClock& Clock;
    std::map<std::string, cState> State;
    std::vector<std::string> Created;
    bool CreationFails = false;
    bool ReleaseFails = false;
};

class cSimSystemErrors : public cSystemErrors {
public:
    uint32_t GetLastError() override { return LastError; }
    void SetLastError(uint32_t code) override { LastError = code; }
    bool FormatMessage(uint32_t code, std::string& text) override;

private:
    uint32_t LastError = 0;
};

struct cSimMessageBox {
    std::string Text;
    std::string Caption;
    uint32_t Style = 0;
    WindowHandle Owner = 0;
    // The buttons of the style with their captions as the user saw them.
    std::vector<cButtonText> Buttons;
};

// Records every message box; each is answered by the next queued answer, or
// by its first button when none is queued.
class cSimDialogs : public cDialogs {
public:
    int MessageBox(const std::string& text, const std::string& caption, uint32_t style) override;
    int MessageBoxWithButtonTexts(WindowHandle owner, const std::string& text, const std::string& caption,
                                  uint32_t style, const std::vector<cButtonText>& buttons) override;

    // The captions Windows gives the buttons, by id: English until set.
    void SetButtonCaptions(std::map<int, std::string> captions) { Captions = std::move(captions); }
    void QueueAnswer(int answer) { Answers.push_back(answer); }
    const std::vector<cSimMessageBox>& Shown() const { return Boxes; }
    // A box pumps the thread's messages while it is shown: the action runs
    // then, once per box, as messages that arrive meanwhile would.
    void WhileShown(std::function<void(const cSimMessageBox&)> action) { OnShow = std::move(action); }

private:
    int Answer(uint32_t style);

    std::deque<int> Answers;
    std::vector<cSimMessageBox> Boxes;
    std::map<int, std::string> Captions{{1, "OK"}, {2, "Cancel"}, {3, "Abort"}, {4, "Retry"},
                                        {5, "Ignore"}, {6, "Yes"}, {7, "No"}};
    std::function<void(const cSimMessageBox&)> OnShow;
};

class cSimVersionResources : public cVersionResources {
public:
    bool GetFixedFileVersion(const std::string& path, cFixedFileVersion& version) override;

    void SetFileVersion(const std::string& path, uint16_t major, uint16_t minor, uint16_t release, uint16_t build);

private:
    std::map<std::string, cFixedFileVersion> Files;  // by lower-case path
};

// Windows 7 Home Premium with Media Center by default.
class cSimSystemInfo : public cSystemInfo {
public:
    cSimSystemInfo();

    bool GetVersionRecord(cOsVersionRecord& record) override;
    int GetSystemMetric(int index) override;
    bool IsWow64Process(bool& wow64) override;

    void SetVersionRecord(const cOsVersionRecord& record) { Record = record; }
    void SetSystemMetric(int index, int value) { Metrics[index] = value; }
    // hasFunction false: the Windows has no IsWow64Process.
    void SetWow64(bool hasFunction, bool wow64);

private:
    cOsVersionRecord Record;
    std::map<int, int> Metrics;
    bool HasWow64Function = true;
    bool Wow64 = false;
};

// English day and month names.
class cSimLocale : public cLocale {
public:
    std::string ShortDayName(int dayOfWeek) override;
    std::string LongDayName(int dayOfWeek) override;
    std::string ShortMonthName(int month) override;
    std::string LongMonthName(int month) override;
};
