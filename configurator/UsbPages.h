#pragma once
#include "configurator/ConfiguratorPage.h"

class cXPConfiguration;
class cVistaConfiguration;

// The USB fixes of the Windows XP family: registry fixes for resuming from
// S3 and for devices that fail around a standby.
class cXpUsbPage final : public cConfiguratorPage {
public:
    explicit cXpUsbPage(cConfiguratorModel& model);

    void Build() override;
    void Refresh() override;

private:
    void SetForceEnumerationDisabled(bool disabled);

    // Null on other families: the page is hidden there and shows nothing.
    cXPConfiguration* Xp;
};

// The USB fixes of Vista and later, in the power scheme and the registry.
class cVistaUsbPage final : public cConfiguratorPage {
public:
    explicit cVistaUsbPage(cConfiguratorModel& model);

    void Build() override;
    void Refresh() override;

private:
    void RestoreDefaults();

    // Null on the XP family: the page is hidden there and shows nothing.
    cVistaConfiguration* Vista;
};

// Where the experimental USB setting asks its users to report their findings.
constexpr const char* SUPPORT_ADDRESS = "support@slumberhold.invalid";
