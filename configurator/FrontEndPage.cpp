#include "configurator/FrontEndPage.h"

#include <algorithm>

#include "configurator/ConfiguratorModel.h"
#include "engine/McePowerManager.h"
#include "targets/TargetApplication.h"

namespace {

constexpr int32_t MAX_START_DELAY_SECONDS = 30;
constexpr int32_t MS_PER_SECOND = 1000;

}  // namespace

void cFrontEndPage::AddStartDelay(const char* trackBar, const char* caption, const char* valueLabel,
                                  cPersistentInteger& delay)
{
    AddLabel(caption, "(Re)start delay");
    cControl& slider = Add(eControlKind::TrackBar, trackBar);
    slider.Min = 0;
    slider.Max = MAX_START_DELAY_SECONDS;
    slider.Buddy = caption;
    slider.ValueLabel = valueLabel;
    slider.Admin = true;
    slider.OnChange = [&slider, &delay] { delay = slider.Position * MS_PER_SECOND; };
    AddLabel(valueLabel, "");
}

void cFrontEndPage::ShowStartDelay(const char* trackBar, const char* valueLabel, const cPersistentInteger& delay)
{
    cControl& slider = Get(trackBar);
    // Whole seconds; a stored value outside the slider shows at its end.
    slider.Position = std::clamp<int32_t>(delay / MS_PER_SECOND, slider.Min, slider.Max);
    Get(valueLabel).Caption = std::to_string(delay / MS_PER_SECOND) + " sec.";
}

void cFrontEndPage::SetStartAtBoot(cTargetApplication& target, bool on)
{
    target.StartAtBoot = on;
    if (!on)
        return;
    for (cTargetApplication* other : Objects().Engine.GetTargets())
        if (other != &target)
            other->StartAtBoot = false;
}
