#pragma once
#include "configurator/FrontEndPage.h"

// The Media Center front-end: how it is stopped and started around a sleep,
// its start at logon, the page it opens and the wait before each start.
class cEhomePage final : public cFrontEndPage {
public:
    explicit cEhomePage(cConfiguratorModel& model);

    void Build() override;
    void Refresh() override;
};
