// slhboxwatch OUTFILE
//
// Records and dismisses every message box that appears while it runs (see
// cMessageBoxWatcher). Runs until killed or until OUTFILE.stop exists.
#include "MessageBoxWatcher.h"

#include <cstdio>
#include <string>

namespace {
constexpr DWORD SCAN_INTERVAL_MS = 100;

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: slhboxwatch OUTFILE\n");
        return 3;
    }
    const std::string recordFile = argv[1];
    const std::string stopFile = recordFile + ".stop";

    cMessageBoxWatcher watcher(recordFile);
    for (;;) {
        watcher.Poll();
        if (FileExists(stopFile))
            return 0;
        Sleep(SCAN_INTERVAL_MS);
    }
}
