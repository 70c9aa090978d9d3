// slhreport RESULT report PARAMETER
// slhreport RESULT export
//
// Runs the configurator's powercfg report (with the real text viewer) or its
// settings export on the real Windows backend, owned by a small visible
// window of its own titled "slhreport owner", and writes to the file RESULT
// (a Windows path) and to stdout when the operation has returned:
//   returned=1
//   owner-enabled=<0|1>   the owner is usable again after a modal viewer
// Message boxes it shows are left to the tests' box watcher.
#include "configurator/PowercfgReports.h"
#include "configurator/SettingsExport.h"
#include "foundation/MessageLogger.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Platform.h"

#include <cstdio>
#include <string>

#include "platform/win32/Win32.h"

namespace {

HWND CreateOwner()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "SlhReportOwner";
    RegisterClassA(&windowClass);
    HWND owner = CreateWindowExA(0, "SlhReportOwner", "slhreport owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    return owner;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc >= 3 ? argv[2] : "";
    if (!((mode == "report" && argc == 4) || (mode == "export" && argc == 3))) {
        std::fputs("usage: slhreport RESULT report PARAMETER | slhreport RESULT export\n", stderr);
        return 2;
    }
    cWin32Platform backend;
    cPlatform& platform = backend.Get();
    HWND owner = CreateOwner();
    const WindowHandle ownerHandle = reinterpret_cast<WindowHandle>(owner);
    if (mode == "report") {
        cPowercfgReports reports(platform, platform.Viewer, ownerHandle);
        reports.ShowPowercfgReport(argv[3]);
    } else {
        cMessageLogger logger(platform, "SLH Log.txt");
        cSettingsExport exporter(platform, logger, ownerHandle);
        exporter.ExportSettings();
    }
    const std::string result =
        std::string("returned=1\r\nowner-enabled=") + (IsWindowEnabled(owner) ? "1" : "0") + "\r\n";
    std::fputs(result.c_str(), stdout);
    std::fflush(stdout);
    if (FILE* file = std::fopen(argv[1], "wb")) {
        std::fwrite(result.data(), 1, result.size(), file);
        std::fclose(file);
    }
    DestroyWindow(owner);
    return 0;
}
