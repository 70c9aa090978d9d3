#pragma once
#include <functional>
#include <memory>
#include <string>

#include "foundation/PersistentVariables.h"
#include "platform/Platform.h"

// The program's one log. Engine and configurator may be two processes
// appending to the same file, so each line is written under a named mutex
// derived from the file's path. Lines are never buffered: each one opens,
// appends and closes the file.
class cMessageLogger {
public:
    // Called with the log file's full path just before the first line goes
    // into a file that does not exist yet, with the lock held.
    using tNewFileHook = std::function<void(const char* path)>;

    cMessageLogger(cPlatform& platform, const std::string& fileName);

    // A first line (time stamp + " - " + text) or a continuation line
    // indented to the text column.
    void WriteLine(const std::string& text, bool first = true);
    // The text, then a continuation line with the calling thread's last
    // platform error code and the system's text for it.
    void WriteError(const std::string& text, bool first);
    std::string GetLogPath();
    bool SetLogPath(const std::string& directory);
    std::string GetLogFilePath();
    // Stores a CSV snapshot of the running tasks, headed by the header text.
    void StoreTaskList(const std::string& header);
    void SetNewFileHook(tNewFileHook hook) { NewFileHook = std::move(hook); }
    bool IsLogging() const { return LogMode.Get(); }

private:
    std::string Stamp(const char* pattern);
    void CreateLock();
    void WriteLocked(const std::string& line);

    cPlatform& Platform;
    cPersistentBool LogMode;
    cPersistentBool StoreTaskLists;
    tNewFileHook NewFileHook;
    int StampWidth = 0;
    std::unique_ptr<cNamedMutex> Lock;
    cPersistentAnsiString LogPath;
    const std::string FileName;
};
