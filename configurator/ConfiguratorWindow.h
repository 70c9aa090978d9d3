#pragma once
#include <memory>
#include <string>
#include <vector>

#include "configurator/ConfiguratorModel.h"
#include "platform/SettingsView.h"

// The settings window on the screen: shows the model's pages and controls
// in the platform's settings view and hands the user's acts back to the
// model. It decides nothing; the one thing it does itself is to open the
// folder dialog of a folder picker, whose answer becomes the control's new
// text.
//
// Attaches itself to the model on construction and detaches on
// destruction; the model must outlive it. Main thread only.
class cConfiguratorWindow final : public cConfiguratorView, private cSettingsViewListener {
public:
    cConfiguratorWindow(cConfiguratorModel& model, cWindowing& windowing, WindowHandle window,
                        std::string fontName);
    ~cConfiguratorWindow() override;
    cConfiguratorWindow(const cConfiguratorWindow&) = delete;
    cConfiguratorWindow& operator=(const cConfiguratorWindow&) = delete;

    void PagesChanged() override;
    void ControlsChanged() override;
    void ControlChanged(const cControl& control) override;

    // The pages and controls as the view gets them.
    static std::vector<cViewPage> DescribePages(const cConfiguratorModel& model);
    static cViewControlState StateOf(const cControl& control);

private:
    void OnValueChanged(uint16_t id, int value) override;
    void OnTextChanged(uint16_t id, const std::string& text) override;
    void OnButtonPressed(uint16_t id) override;
    void OnRowChecked(uint16_t id, size_t row, bool checked) override;
    void OnDoubleClicked(uint16_t id) override;

    cConfiguratorModel& Model;
    const std::string FontName;
    std::unique_ptr<cSettingsView> View;
};
