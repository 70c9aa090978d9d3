#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"

class cMessageLogger;
class cScreenBlanker;
struct cEngineSettings;

// The power events that have a program setting of their own (a command and
// its launcher flags).
enum class eEventProgram {
    UserSuspendEarly,
    AutoSuspendEarly,
    UserSuspend,
    AutoSuspend,
    UserResume,
    AutoResume,
    UserInterfaceResume,
    Away,
    AwayResume,
    Reboot,
    DisplayOn,
    DisplayOff,
};

// The front-ends the engine closes at suspend.
enum class eFrontEnd { MediaCenter, MediaPortal };

// What the engine does at power events besides deciding and sleeping: it
// runs the user's programs, restarts two Media Center services, blanks and
// unblanks the screen, lists the window titles for diagnosis and warns
// about front-ends that survived a suspend. Owned by the engine; everything
// runs on the main thread, and the waits for programs block it.
class cEventActions {
public:
    // All references must outlive this object.
    cEventActions(cPlatform& platform, cEngineSettings& settings, cScreenBlanker& blanker, cMessageLogger& logger);
    cEventActions(const cEventActions&) = delete;
    cEventActions& operator=(const cEventActions&) = delete;

    // Runs the event's program with its flags, both read now; an empty
    // command runs nothing and writes nothing. False when nothing started.
    bool Run(eEventProgram event);
    // Starts the command line with the launcher flags and logs it; with
    // ALF_WAIT it waits up to 30 s and logs the exit code. False when the
    // program could not be started.
    bool RunEventProgram(const std::string& commandLine, int32_t flags);

    // Stop and start through net.exe, 5 s each; the results are not read.
    void RestartReceiverService();
    void RestartSchedulerService();

    // Blank and unblank when BlankScreen is set.
    void Blank();
    void UnBlank(bool restartPending);
    bool IsBlanking() const;

    // The titles file: Begin deletes it, each Save appends one window (a
    // window without a title is left out; a line that cannot be written is
    // lost).
    void BeginWindowTitles();
    void SaveWindowTitle(const cWindowInfo& window);
    std::string TitlesFilePath();

    // The front-end was found running at a resume although it should have
    // been closed at the suspend.
    void WarnFrontEndStillRunning(eFrontEnd frontEnd);

private:
    void RestartService(const char* logLine, const char* serviceName);

    cPlatform& Platform;
    cEngineSettings& Settings;
    cScreenBlanker& Blanker;
    cMessageLogger& Logger;
};
