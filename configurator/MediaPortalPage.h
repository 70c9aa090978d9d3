#pragma once
#include "configurator/FrontEndPage.h"

// MediaPortal as a front-end: how it is stopped and started around a sleep,
// its start at logon and the wait before each start; and, while its program
// cannot be found, the way to locate its folder by hand.
class cMediaPortalPage final : public cFrontEndPage {
public:
    explicit cMediaPortalPage(cConfiguratorModel& model);

    void Build() override;
    void Refresh() override;

private:
    void Locate(const std::string& folder);
    // Where the folder picker starts.
    std::string ProgramFilesFolder();
};
