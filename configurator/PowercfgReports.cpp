#include "configurator/PowercfgReports.h"

#include "foundation/ApplicationLauncher.h"
#include "foundation/MessageBoxes.h"
#include "platform/WinConst.h"

namespace {

namespace Text {
constexpr const char* NOT_SUPPORTED = "Not supported by this operating system or insufficient rights.";
constexpr const char* FAILED = "Failed";
}  // namespace Text

constexpr const char* POWERCFG = "powercfg.exe";
constexpr int32_t REPORT_TIMEOUT_MS = 30000;
// What the tool returns for an unknown parameter or a report that needs
// administrator rights.
constexpr uint32_t EXIT_NOT_SUPPORTED = 1;

}  // namespace

void cPowercfgReports::ShowPowercfgReport(const std::string& parameter)
{
    // The launcher owns the temporary output file and deletes it when it
    // goes, after the viewer has closed.
    cApplicationLauncher launcher(Platform, POWERCFG, ALF_COMMAND_SHELL | ALF_HIDDEN | ALF_CAPTURE);
    launcher.Launch(parameter);
    // A report still running after the timeout (259), or one that never
    // started, shows whatever the file holds so far.
    if (launcher.WaitForExit(REPORT_TIMEOUT_MS) == EXIT_NOT_SUPPORTED) {
        ShowMessageBox(Platform.Dialogs, Owner, Text::NOT_SUPPORTED, Text::FAILED, MB_OK | MB_ICONERROR);
        return;
    }
    std::string report;
    Platform.Files.ReadWholeFile(launcher.GetOutputFile(), report);
    Viewer.ShowModal(Owner, report);
}
