#pragma once
#include <memory>
#include <string>

#include "TempFolder.h"

// A Wine prefix made once (wineboot takes seconds), which each test copies.
// Its user folders are plain folders inside the prefix, not links to a home
// folder, so a copy shares nothing with the others.
//
// Layout of its folder: "prefix" (the prefix) and "home" (the HOME of the
// Wine processes of all copies).
class cTemplatePrefix {
public:
    // Builds a new template in a temporary folder, removed with this object.
    // Throws std::runtime_error on failure.
    explicit cTemplatePrefix(const std::string& display);
    // Takes the template that Build made in folder as it is (kept when this
    // object goes). Throws std::runtime_error when there is none.
    static std::unique_ptr<cTemplatePrefix> Existing(const std::string& folder);
    // Builds a template in folder, which must be empty or absent. Throws
    // std::runtime_error on failure.
    static void Build(const std::string& folder, const std::string& display);

    const std::string& Path() const { return Path_; }
    const std::string& Home() const { return Home_; }

private:
    explicit cTemplatePrefix(std::unique_ptr<cTempFolder> owned, const std::string& folder);

    std::unique_ptr<cTempFolder> Owned;
    std::string Path_;
    std::string Home_;
};
