// slh_wine_template FOLDER: makes the template prefix that the Wine tests
// share (see TEMPLATE_VARIABLE), replacing whatever FOLDER holds. ctest
// runs it once before the Wine tests and removes FOLDER after them.
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>

#include "TemplatePrefix.h"
#include "WineSession.h"
#include "XvfbDisplay.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: slh_wine_template FOLDER\n";
        return 2;
    }
    const char* buildFolder = std::getenv("SLH_WIN64_DIR");
    if (!buildFolder || !*buildFolder) {
        // The tests skip themselves for the same reason.
        std::cout << "SLH_WIN64_DIR is not set: no Windows build to test" << std::endl;
        return 0;
    }
    const std::string folder = argv[1];
    try {
        std::filesystem::remove_all(folder);
        const cXvfbDisplay display;
        cTemplatePrefix::Build(folder, display.Name());
        InstallStandInTools(*cTemplatePrefix::Existing(folder), buildFolder);
    } catch (const std::exception& error) {
        std::cerr << error.what() << std::endl;
        return 1;
    }
    std::cout << "template prefix made in " << folder << std::endl;
    return 0;
}
