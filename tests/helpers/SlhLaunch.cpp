// slhlaunch RESULT FLAGS TIMEOUT COMMAND [PARAMETERS]
// slhlaunch child EXITCODE
//
// The first form runs the program's own application launcher on the real
// Windows backend: COMMAND with FLAGS (launch flags) and PARAMETERS, then
// WaitForExit(TIMEOUT ms), reads the output file and destroys the launcher.
// It writes to the file RESULT (a Windows path), and to stdout:
//   launched=<0|1>
//   error=<the platform's last error after a failed launch, else 0>
//   exit=<WaitForExit's result>
//   file=<the output file's path>
//   --
//   <the output file's content>
// This program's folder is put in front of PATH first, so that a command
// "slhlaunch.exe" finds it.
//
// The second form is a program to launch: it writes "out line" to standard
// output and "err line" to standard error and ends with EXITCODE.
#include "NumberArg.h"
#include "foundation/ApplicationLauncher.h"
#include "platform/win32/Win32Platform.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/Win32.h"

namespace {

void PutOwnFolderOnPath(cPlatform& platform)
{
    std::string folder = platform.Files.GetModuleFileName();
    const size_t separator = folder.find_last_of('\\');
    folder.erase(separator == std::string::npos ? 0 : separator);
    const char* path = std::getenv("PATH");
    SetEnvironmentVariableA("PATH", (folder + ";" + (path ? path : "")).c_str());
}

int Child(const std::string& exitCodeText)
{
    long long exitCode = 0;
    if (!ParseInteger(exitCodeText, exitCode))
        return 2;
    // Flushed at once, so that the lines keep their order when both streams
    // go to one file.
    std::fputs("out line\n", stdout);
    std::fflush(stdout);
    std::fputs("err line\n", stderr);
    return static_cast<int>(exitCode);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "child")
        return Child(argv[2]);

    long long flags = 0;
    long long timeout = 0;
    if (argc < 5 || argc > 6 || !ParseInteger(argv[2], flags) || !ParseInteger(argv[3], timeout)) {
        std::fprintf(stderr, "usage: slhlaunch RESULT FLAGS TIMEOUT COMMAND [PARAMETERS]\n"
                             "       slhlaunch child EXITCODE\n");
        return 3;
    }
    const std::string parameters = argc == 6 ? argv[5] : "";

    cWin32Platform backend;
    cPlatform& platform = backend.Get();
    PutOwnFolderOnPath(platform);

    bool launched = false;
    uint32_t error = 0;
    uint32_t exitCode = 0;
    std::string outputFile;
    std::string output;
    {
        cApplicationLauncher launcher(platform, argv[4], static_cast<uint16_t>(flags));
        outputFile = launcher.GetOutputFile();
        launched = launcher.Launch(parameters);
        if (launched)
            exitCode = launcher.WaitForExit(static_cast<int32_t>(timeout));
        else
            error = platform.Errors.GetLastError();
        if (!outputFile.empty())
            platform.Files.ReadWholeFile(outputFile, output);
    }

    const std::string result = "launched=" + std::to_string(launched ? 1 : 0) + "\r\nerror=" +
                               std::to_string(error) + "\r\nexit=" +
                               std::to_string(exitCode) + "\r\nfile=" + outputFile + "\r\n--\r\n" + output;
    std::fwrite(result.data(), 1, result.size(), stdout);
    if (!platform.Files.WriteNewFile(argv[1], result))
        return 4;
    return launched ? 0 : 1;
}
