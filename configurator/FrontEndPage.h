#pragma once
#include "configurator/ConfiguratorPage.h"

class cPersistentBool;
class cPersistentInteger;
class cTargetApplication;

// What the pages of the two front-ends share: the start delay slider with
// its value label, and the rule that only one front-end starts at logon.
class cFrontEndPage : public cConfiguratorPage {
public:
    using cConfiguratorPage::cConfiguratorPage;

protected:
    // A slider of 0 to 30 s (admin) that writes the delay in ms, with its
    // caption label and the label that shows the seconds.
    void AddStartDelay(const char* trackBar, const char* caption, const char* valueLabel, cPersistentInteger& delay);
    void ShowStartDelay(const char* trackBar, const char* valueLabel, const cPersistentInteger& delay);
    // Writes the target's start at logon; switching it on switches it off
    // for every other front-end.
    void SetStartAtBoot(cTargetApplication& target, bool on);
};
