#include "foundation/MessageLogger.h"

#include <algorithm>
#include <cstdio>

#include "foundation/ApplicationLauncher.h"
#include "foundation/DateTimeFormat.h"
#include "foundation/Folders.h"
#include "platform/WinConst.h"

namespace {

constexpr const char* STAMP_PATTERN = "ddd dd mmm yyyy hh:mm:ss.zzz";
constexpr const char* TASK_LIST_PATTERN = "yyyymmdd-hhmmsszzz";
constexpr const char* EMPTY_LOG_PATH = "-empty-";
constexpr uint32_t LOCK_TIMEOUT_MS = 500;
// Continuation lines are indented by a cut from this many spaces at most.
constexpr size_t MAX_INDENT = 58;
constexpr const char* CRLF = "\r\n";

}  // namespace

cMessageLogger::cMessageLogger(cPlatform& platform, const std::string& fileName)
    : Platform(platform), LogMode(platform.Registry, "LogMode", HIVE_LOCAL_MACHINE, false),
      StoreTaskLists(platform.Registry, "StoreTaskLists", HIVE_LOCAL_MACHINE, false),
      LogPath(platform.Registry, "LogPath", HIVE_LOCAL_MACHINE, EMPTY_LOG_PATH), FileName(fileName)
{
    StampWidth = static_cast<int>(Stamp(STAMP_PATTERN).size());
    if (LogPath.Get() == EMPTY_LOG_PATH) {
        // Fixed once, so the log stays where it is for every later user.
        std::string desktop;
        if (!Platform.Files.GetSpecialFolder(FOLDER_DESKTOPDIRECTORY, desktop))
            desktop = "C:\\";
        LogPath.Set(desktop);
    }
    CreateLock();
}

std::string cMessageLogger::Stamp(const char* pattern)
{
    return FormatDateTime(pattern, Platform.Clock.GetLocalTime(), Platform.Locale);
}

void cMessageLogger::CreateLock()
{
    std::string name = GetLogFilePath();
    std::replace(name.begin(), name.end(), '\\', '_');
    std::unique_ptr<cNamedMutex> created = Platform.Sync.CreateNamedMutex(name);
    if (!created)
        Platform.Dialogs.MessageBox("Failed", "CreateMutex", MB_OK);
    Lock = std::move(created);
}

std::string cMessageLogger::GetLogPath()
{
    return LogPath.Get();
}

std::string cMessageLogger::GetLogFilePath()
{
    return LogPath.Get() + "\\" + FileName;
}

bool cMessageLogger::SetLogPath(const std::string& directory)
{
    LogPath.Set(directory);
    CreateLock();
    return true;
}

void cMessageLogger::WriteLine(const std::string& text, bool first)
{
    if (!LogMode.Get())
        return;
    const std::string prefix = first ? Stamp(STAMP_PATTERN) + " - "
                                     : std::string(std::min<size_t>(StampWidth + 3, MAX_INDENT), ' ');
    WriteLocked(prefix + text + CRLF);
}

void cMessageLogger::WriteLocked(const std::string& line)
{
    if (!Lock)
        return;
    const eWaitResult waited = Lock->Wait(LOCK_TIMEOUT_MS);
    if (waited == eWaitResult::Abandoned) {
        Platform.Dialogs.MessageBox("Failed", "WAIT_ABANDONED", MB_OK);
        Lock->Release();
        return;
    }
    if (waited != eWaitResult::Signaled)
        return;

    const std::string filePath = GetLogFilePath();
    ForceDirectories(Platform.Files, GetLogPath());
    if (NewFileHook && !Platform.Files.FileExists(filePath))
        NewFileHook(filePath.c_str());
    // A file that cannot be opened loses the line; there is nowhere to report it.
    Platform.Files.AppendToFile(filePath, line);

    if (!Lock->Release())
        Platform.Dialogs.MessageBox("Failed", "ReleaseMutex", MB_OK);
}

void cMessageLogger::WriteError(const std::string& text, bool first)
{
    const uint32_t code = Platform.Errors.GetLastError();
    WriteLine(text, first);
    std::string message;
    if (!Platform.Errors.FormatMessage(code, message))
        message.clear();
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04X", code);
    WriteLine(std::string("LastError=") + hex + "h: " + message, false);
}

void cMessageLogger::StoreTaskList(const std::string& header)
{
    if (!StoreTaskLists.Get())
        return;
    const std::string directory = GetLogPath() + "\\TaskLists";
    ForceDirectories(Platform.Files, directory);
    const std::string path = directory + "\\SLH" + Stamp(TASK_LIST_PATTERN) + ".csv";
    Platform.Files.WriteNewFile(path, header + CRLF);
    // Not waited for: the list is complete some time after the log line.
    // CreateProcess does not search the path for the application, so the
    // shell is named with its folder.
    const std::string shell = SystemDirectoryOrDefault(Platform.Processes) + "\\cmd.exe";
    cApplicationLauncher taskList(Platform, shell, ALF_HIDDEN);
    taskList.Launch("/c tasklist /v /FO csv >> \"" + path + "\"");
    WriteLine("Task list stored: " + path);
}
