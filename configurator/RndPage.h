#pragma once
#include <memory>

#include "configurator/ConfiguratorPage.h"

class cPersistentBool;

constexpr const char* RND_PAGE_NAME = "TabSheet5";

// Test actions and experimental switches for testers, shown only in debug
// mode. Its buttons act at once and refresh nothing; its check boxes write
// at once, and all but two are read back by RefreshControls.
class cRndPage final : public cConfiguratorPage {
public:
    explicit cRndPage(cConfiguratorModel& model);
    ~cRndPage() override;

    void Build() override;
    void Refresh() override;

private:
    // A button that acts without a refresh of the window.
    void AddAction(const char* name, const char* caption, std::function<void()> action);
    // The same, disabled (and shown so) while the action runs.
    void AddLongAction(const char* name, const char* caption, std::function<void()> action);
    void SetWinLogonLock(bool on);
    void AllowPreventSleep(bool on);
    void ShowTestBalloon(const char* title, const char* text, uint32_t iconType);

    // The MediaPortal target's fake switch, by its setting name.
    std::unique_ptr<cPersistentBool> MediaPortalFake;
};
