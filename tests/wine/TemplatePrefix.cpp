#include "TemplatePrefix.h"

#include <filesystem>
#include <stdexcept>

#include "Wine.h"
#include "WineRegistry.h"

namespace fs = std::filesystem;

namespace {

constexpr auto WINEBOOT_TIMEOUT = std::chrono::seconds(180);

// wineboot links Desktop, Documents and the like to the home folder; the
// program's default log folder is the desktop, so make them real folders.
void DetachUserFolders(const std::string& prefix)
{
    for (const fs::directory_entry& user : fs::directory_iterator(prefix + "/drive_c/users")) {
        if (!user.is_directory() || user.is_symlink())
            continue;
        for (const fs::directory_entry& folder : fs::directory_iterator(user.path())) {
            if (folder.is_symlink()) {
                fs::remove(folder.path());
                fs::create_directory(folder.path());
            }
        }
    }
}

}  // namespace

cTemplatePrefix::cTemplatePrefix(const std::string& display)
    : Folder("slh-wine-template"), Path_(Folder.Path() + "/prefix"), Home_(Folder.Path() + "/home")
{
    fs::create_directory(Home_);
    const cWine wine(Path_, display, Home_);

    const cRunResult booted = wine.Run({"wineboot.exe", "-i"}, WINEBOOT_TIMEOUT);
    // Without a window manager (Xvfb has none) Wine waits two seconds for
    // every managed window it hides; unmanaged windows hide at once.
    const bool unmanaged =
        booted.Finished && cWineRegistry(wine).SetString("HKCU\\Software\\Wine\\X11 Driver", "Managed", "N");
    // A forced reboot (daily by default, due at the first sleep) would end
    // every program of the prefix: the test machines have them off.
    const bool noReboots =
        booted.Finished && cWineRegistry(wine).SetDword("HKLM\\Software\\Velderane\\Slumberhold", "RebootMode", 0);
    // The wineserver writes the registry files when it ends.
    const bool saved = wine.KillServer();
    if (!booted.Finished || booted.ExitCode != 0 || !unmanaged || !noReboots || !saved ||
        !fs::exists(Path_ + "/system.reg"))
        throw std::runtime_error("wineboot -i did not make a prefix in " + Path_);
    DetachUserFolders(Path_);
}
