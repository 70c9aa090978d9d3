#pragma once
#include "platform/Platform.h"

class cApplicationLauncher;
class cMessageLogger;

// Writes the program's settings of both hives into two text files in the log
// folder, through the Windows registry editor, for a support request.
class cSettingsExport {
public:
    // owner: the window the closing message belongs to.
    cSettingsExport(cPlatform& platform, cMessageLogger& logger, WindowHandle owner)
        : Platform(platform), Logger(logger), Owner(owner)
    {
    }

    // Runs on the main thread, which does not answer meanwhile (at most 5 s
    // per file).
    void ExportSettings();

private:
    // One file: the stale copy goes first, so that what is there afterwards
    // is this export's. True when the file exists afterwards.
    bool ExportKey(cApplicationLauncher& launcher, const std::string& fileName, const std::string& key);

    cPlatform& Platform;
    cMessageLogger& Logger;
    const WindowHandle Owner;
};
