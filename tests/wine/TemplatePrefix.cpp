#include "TemplatePrefix.h"

#include <filesystem>
#include <stdexcept>

#include "Wine.h"
#include "WineRegistry.h"

namespace fs = std::filesystem;

namespace {

constexpr auto WINEBOOT_TIMEOUT = std::chrono::seconds(180);

std::string PrefixIn(const std::string& folder)
{
    return folder + "/prefix";
}

std::string HomeIn(const std::string& folder)
{
    return folder + "/home";
}

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
    : cTemplatePrefix(std::make_unique<cTempFolder>("slh-wine-template"), {})
{
    Build(Owned->Path(), display);
}

cTemplatePrefix::cTemplatePrefix(std::unique_ptr<cTempFolder> owned, const std::string& folder)
    : Owned(std::move(owned)),
      Path_(PrefixIn(Owned ? Owned->Path() : folder)),
      Home_(HomeIn(Owned ? Owned->Path() : folder))
{
}

std::unique_ptr<cTemplatePrefix> cTemplatePrefix::Existing(const std::string& folder)
{
    if (!fs::exists(PrefixIn(folder) + "/system.reg") || !fs::is_directory(HomeIn(folder)))
        throw std::runtime_error("no template prefix in " + folder);
    return std::unique_ptr<cTemplatePrefix>(new cTemplatePrefix(nullptr, folder));
}

void cTemplatePrefix::Build(const std::string& folder, const std::string& display)
{
    const std::string prefix = PrefixIn(folder);
    const std::string home = HomeIn(folder);
    fs::create_directories(home);
    const cWine wine(prefix, display, home);

    const cRunResult booted = wine.Run({"wineboot.exe", "-i"}, WINEBOOT_TIMEOUT);
    // Without a window manager (Xvfb has none) Wine waits two seconds for
    // every managed window it hides; unmanaged windows hide at once.
    const bool unmanaged =
        booted.Finished && cWineRegistry(wine).SetString("HKCU\\Software\\Wine\\X11 Driver", "Managed", "N");
    // The wineserver writes the registry files when it ends.
    const bool saved = wine.KillServer();
    if (!booted.Finished || booted.ExitCode != 0 || !unmanaged || !saved || !fs::exists(prefix + "/system.reg"))
        throw std::runtime_error("wineboot -i did not make a prefix in " + prefix);
    DetachUserFolders(prefix);
}
