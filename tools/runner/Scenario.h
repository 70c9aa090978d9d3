#pragma once
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/SimWindows.h"
#include "tools/runner/ScenarioActivity.h"
#include "tools/runner/ScenarioFrontEnds.h"
#include "tools/runner/ScenarioWords.h"
#include "tools/runner/ScenarioPowerActions.h"

class TfMain;

// Plays a scenario on a simulated Windows machine: a plain-text script of
// timed events, one per line. Blank lines and text after '#' are ignored.
// A line may begin with a moment, then a command:
//
//   +90s ...            after waiting this long (units ms, s, m, h; "+1h30m")
//   at 02:00:00 ...     at the next time the local clock shows this
//
// Commands:
//   clock 2026-12-09 21:00:00     the local time now (before anything else)
//   tickcount 4294960000          the tick count now
//   set HKLM LogMode 1            a value of the program's settings key: a
//   set HKCU Name "text"          number is a REG_DWORD, quoted text a REG_SZ
//   reg HKLM "Key\Path" Name 1    the same for any key
//   windows 6.1 workstation mediacenter   the Windows the program finds at its
//                                 start (major.minor, workstation or server,
//                                 optionally Media Center); Windows 7 by default
//   start ENGINE TRAY ...         starts the program with these switches
//   close                         WM_CLOSE to the main window
//   exit                          the tray menu's "Exit"
//   answer yes|no|ok|cancel       the next message box is answered so
//   wait 5s                       lets time pass
//   broadcast PBT_APMSUSPEND [n]  a power broadcast (name or number, lParam n)
//   broadcast PBT_POWERSETTINGCHANGE GUID VALUE   a change of any power
//                                 setting, with the record Windows sends: the
//                                 setting's GUID ({8-4-4-4-12} hexadecimal or
//                                 GUID_SYSTEM_AWAYMODE, GUID_MONITOR_POWER_ON,
//                                 GUID_IDLE_BACKGROUND_TASK) and its 32-bit
//                                 value (4 bytes of data), or none (no data)
//   awaymode on|off               the system enters or leaves away mode: the
//                                 change of GUID_SYSTEM_AWAYMODE to 1 or 0
//   monitor on|off                the display goes on or off: the change of
//                                 GUID_MONITOR_POWER_ON to 1 or 0
//   suspend                       the broadcast of a suspend (PBT_APMSUSPEND)
//                                 alone; the machine goes on running
//   wake automatic                Windows wakes it for a task: the system reports
//                                 an automatic resume (PBT_APMRESUMEAUTOMATIC)
//   wake user                     the user wakes it: PBT_APMRESUMEAUTOMATIC, the
//                                 user's input, then PBT_APMRESUMESUSPEND
//   wake unattended               Windows reports a user wake, but nobody is
//                                 there: PBT_APMRESUMEAUTOMATIC, then
//                                 PBT_APMRESUMESUSPEND, and no input (a wake
//                                 the program can treat as automatic with
//                                 TreatUnattendedAsAutomatic). All three also
//                                 wake a machine that really sleeps
//   request suspend [automatic]   the engine is asked to put the machine to
//                                 sleep (RequestSuspend), as at the end of an
//                                 automatic wake with "automatic"
//   sleep                         Windows puts the machine to sleep by itself
//                                 (the sleep button, its idle timer)
//   nextwake automatic 02:00:00   how the next real sleep ends: Windows wakes
//   nextwake user +8h             the machine for a task, or the user does, or
//   nextwake unattended 03:00     an unattended wake, the next time the clock
//   nextwake none                 shows this or that long from now; none: it
//                                 sleeps until a wake command
//   input                         the user touches keyboard or mouse
//
// What the activity detection watches:
//   list "Non Idle Applications" Recorder.exe   adds an entry to one of the
//   list "Non Idle Networksessions" htpc        program's two lists (read when
//                                 the program starts: list before start)
//   process start Recorder.exe    a program starts (one more process each time)
//   process end Recorder.exe      every process of that file name ends
//   recording start 1             the Media Center add-in publishes recording 1
//   recording end 1               in the block "slhmcsa", or ends it. Each
//                                 recording and session takes the lowest free
//                                 of the 15 records; the block exists from the
//                                 first one on
//   mcsession 2 state=Playing     Media Center session 2 begins or changes.
//                                 state= None, Stopped, Playing, Paused, Ended,
//                                 Menu, Closing or a number; progress= a number
//                                 or running (advances with the clock; a
//                                 number stands still); detailA= and detailB=
//                                 numbers. What is not given stays (0 at first)
//   mcsession 2 end               the session ends; its record is free again
//   netsession add htpc idle=5s   a client connects to the shares as user htpc,
//                                 its last activity idle= ago (0s by default),
//                                 or busy: active until set otherwise;
//                                 client=LAPTOP names the client machine
//   netsession set htpc idle=20s  the user's sessions were last active then, or
//   netsession set htpc busy      are active from now on
//   netsession remove htpc        the user's sessions end
//   rdp connect [user]            a Remote Desktop session of the user
//   rdp disconnect [user]         (RemoteUser by default) connects, disconnects
//   rdp logoff [user]             or logs off; the program gets the session
//                                 change notification when it registered for
//                                 it (while the session is still listed)
//   extender connect [n]          the same for extender n (1 by default): a
//   extender disconnect [n]       Remote Desktop session of the user
//   extender logoff [n]           "Mcx<n>-HTPC"
//   holder system on|off          another program holds the system, display or
//   holder display on|off         away-mode execution state (what the system
//   holder away on|off            reports as its execution state), or lets go
//   mcwindow open [windowed] [behind]   Media Center's window appears (and its
//                                 process ehshell.exe starts): full screen
//                                 and in front, unless windowed or behind
//   mcwindow fullscreen|windowed  its caption hidden or shown
//   mcwindow front|behind         it is the foreground window, or the taskbar is
//   mcwindow close                the window closes and ehshell.exe ends
//
// Media Center's front-end around the sleep:
//   mctray start                  Media Center's tray applet runs: it answers
//                                 the navigation message, opening Media Center
//                                 full screen when its window is not open
//   mcclose after 200ms           how the next Media Center window answers a
//   mcclose ignore                close request (WM_CLOSE, Alt+F4, taskkill):
//                                 gone that long after it, or not at all
//
// Services, forced reboots and the calendar (see ScenarioPowerActions.h):
//   date 2026-12-14               expect restarts receiver 1    expect reboots 1
//
// Expectations:
//   expect log "text"             some log line contains the text
//   expect log "text" 2           exactly this many log lines contain it
//   expect nolog "text"           no log line contains it
//   expect title "text"           the main window's title
//   expect visible yes|no         the main window is shown or hidden
//   expect running yes|no         the program is running
//   expect box "caption" "text"   a message box was shown (line breaks as \r, \n)
//   expect setting HKLM Name 1    a value of the settings key (number or "text")
//   expect asleep yes|no          the machine sleeps
//   expect mcwindow open|closed   Media Center's window is there or not
//   expect mcpages 4 0            the pages the tray applet was sent to since
//   expect mcpages none           the last such expectation
//
// A real sleep starts with a successful sleep call of the program (after
// request suspend) or with the sleep command: PBT_APMSUSPEND at once, then
// nothing runs until the wake. With a chosen wake the machine wakes by
// itself, and a wait that would end during the sleep ends at the wake.
// Without one, waits pass while it sleeps and a wake command ends the sleep.
class cScenarioPlayer {
public:
    cScenarioPlayer();
    ~cScenarioPlayer();

    // Plays the script. Errors (bad lines, failed expectations) are collected.
    // Scripts played one after the other count their lines on, as one file.
    void Play(const std::string& script);
    // Ends the program if it still runs, as closing its window does.
    void Finish();

    const std::vector<std::string>& Failures() const { return Failures_; }
    std::string LogText();
    // The log, then the message boxes and the programs started, for people.
    void Report(std::ostream& out);

    cSimWindows& Windows() { return Sim; }
    TfMain* Program() { return App.get(); }

private:
    // One command of the table: its verb, the arguments it needs at least,
    // its handler, and whether the program runs its message loop after it.
    struct cCommand {
        const char* Verb;
        size_t Arguments;
        void (cScenarioPlayer::*Run)(const tWords& words);
        bool ThenPump = false;
    };
    static const cCommand COMMANDS[];

    void PlayLine(const std::string& line);
    void Fail(const std::string& message);

    // The program and the machine (ScenarioCommands.cpp).
    void SetClock(const tWords& words);
    void SetTickCount(const tWords& words);
    void SetValue(const tWords& words);
    void SetWindows(const tWords& words);
    void Start(const tWords& words);
    void Close(const tWords& words);
    void Answer(const tWords& words);
    void Wait(const tWords& words);
    void SendBroadcast(const tWords& words);
    void Suspend(const tWords& words);
    void AwayMode(const tWords& words);
    void Monitor(const tWords& words);
    void Wake(const tWords& words);
    void RequestSuspend(const tWords& words);
    void SleepNow(const tWords& words);
    void NextWake(const tWords& words);
    void Input(const tWords& words);

    // What the activity detection watches (ScenarioActivityCommands.cpp).
    void AddToList(const tWords& words);
    void ChangeProcess(const tWords& words);
    void ChangeRecording(const tWords& words);
    void ChangeMcSession(const tWords& words);
    void ChangeNetSession(const tWords& words);
    void ChangeRemoteSession(const tWords& words);
    void ChangeHolder(const tWords& words);
    void ChangeMediaCenterWindow(const tWords& words);
    // mctray and mcclose (Media Center's front-end around the sleep).
    void ChangeFrontEnd(const tWords& words);
    // date (the calendar day that decides the forced-reboot periods).
    void ChangeDate(const tWords& words);
    // Tells the program of a session change, if it asked to hear of them.
    void NotifySessionChange(uint32_t reason, uint32_t sessionId);

    // Expectations (ScenarioExpect.cpp).
    void Expect(const tWords& words);

    void WaitUntil(uint64_t moment);
    // The virtual moment of a time of day ("02:00:00", the next time the
    // clock shows it) or of a duration from now ("+8h").
    uint64_t MomentOf(const std::string& word);
    void Broadcast(uintptr_t event, intptr_t lParam);
    void PowerSettingChange(const cGuid& setting, std::optional<uint32_t> value);
    void Pump();

    // Local time of a virtual moment, as the log writes it.
    std::string StampOf(uint64_t moment);

    cSimWindows Sim;
    cScenarioAddIn AddIn{Sim.SharedMemory()};
    cScenarioNetSessions NetSessions{Sim.Sessions()};
    cScenarioRemoteSessions RemoteSessions{Sim.Sessions(),
                                           [this](uint32_t reason, uint32_t id) { NotifySessionChange(reason, id); }};
    cScenarioMediaCenterWindow MediaCenterWindow{Sim.Windowing(), Sim.ProcessList(), Sim.Processes()};
    cScenarioFrontEnds FrontEnds{Sim, MediaCenterWindow};
    cScenarioPowerActions PowerActions{Sim};
    // The execution state other programs hold (ES_* bits).
    uint32_t HeldExecutionState = 0;
    std::unique_ptr<TfMain> App;
    std::vector<std::string> Failures_;
    // The number of the line being played, for the failures.
    int Line = 0;
};

// The evening the main job plays when no scenario file is given.
extern const char* const DEFAULT_SCENARIO;
