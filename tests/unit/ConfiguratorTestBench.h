#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "configurator/ConfiguratorModel.h"
#include "foundation/Settings.h"
#include "platform/WinConst.h"
#include "platform/sim/SimWindows.h"
#include "shell/MainWindow.h"

// The settings window on a simulated machine: the start-up as a user's
// configurator (or with other switches), the model it builds, and what the
// user's actions wrote and showed.
class cConfiguratorTestBench : public ::testing::Test {
protected:
    enum class eWindows { XP, Vista, Windows7 };

    void SetUp() override
    {
        SetWindows(eWindows::Windows7);
        SetHklm("LogMode", 1);
        Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", "C:\\Logs");
        SetHklm("RebootMode", 0);
    }

    void SetWindows(eWindows windows)
    {
        cOsVersionRecord record;
        record.Major = windows == eWindows::XP ? 5 : 6;
        record.Minor = windows == eWindows::Vista ? 0 : 1;
        record.ProductType = 1;
        Sim.System().SetVersionRecord(record);
        // Without Media Center unless a test says otherwise.
        Sim.System().SetSystemMetric(SYSTEM_METRIC_MEDIACENTER, 0);
    }

    void Start(std::vector<std::string> switches = {})
    {
        switches.insert(switches.begin(), "C:\\Slumberhold.exe");
        Sim.Processes().SetArguments(switches);
        Main = std::make_unique<TfMain>(Sim.Get());
        Sim.Windowing().ProcessMessages();
        ASSERT_NE(Main->GetConfigurator(), nullptr);
    }

    cConfiguratorModel& Model() { return *Main->GetConfigurator(); }

    cControl& Control(const std::string& name)
    {
        cControl* control = Model().Find(name);
        if (!control)
            throw std::logic_error("no control " + name);
        return *control;
    }

    // The text of the selected item of a combo box or radio group; "" when none.
    std::string Selected(const std::string& name)
    {
        const cControl& control = Control(name);
        if (control.ItemIndex < 0 || control.ItemIndex >= static_cast<int>(control.Items.size()))
            return "";
        return control.Items[static_cast<size_t>(control.ItemIndex)].Text;
    }

    std::vector<std::string> ItemTexts(const std::string& name)
    {
        std::vector<std::string> texts;
        for (const cControlItem& item : Control(name).Items)
            texts.push_back(item.Text);
        return texts;
    }

    std::vector<std::string> VisibleCaptions()
    {
        std::vector<std::string> captions;
        for (const cConfiguratorPage* page : Model().GetVisiblePages())
            captions.push_back(page->GetCaption());
        return captions;
    }

    void SetHklm(const std::string& name, uint32_t value)
    {
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, name, value);
    }

    // The stored DWORD; -1 when absent.
    int64_t Hklm(const std::string& name) { return Stored(eHive::LocalMachine, name); }
    int64_t Hkcu(const std::string& name) { return Stored(eHive::CurrentUser, name); }
    int64_t Stored(eHive hive, const std::string& name)
    {
        uint32_t data = 0;
        if (!Sim.Registry().GetDword(hive, SETTINGS_KEY, name, data))
            return -1;
        return data;
    }

    std::string Log()
    {
        std::string text;
        Sim.Files().ReadWholeFile("C:\\Logs\\SLH Log.txt", text);
        return text;
    }

    // The texts of the message boxes shown from the given one on.
    std::vector<std::string> BoxTexts(size_t from = 0)
    {
        std::vector<std::string> texts;
        const auto& shown = Sim.Dialogs().Shown();
        for (size_t i = from; i < shown.size(); ++i)
            texts.push_back(shown[i].Text);
        return texts;
    }

    size_t BoxCount() { return Sim.Dialogs().Shown().size(); }
    const cSimMessageBox& LastBox() { return Sim.Dialogs().Shown().back(); }

    cSimWindows Sim;
    std::unique_ptr<TfMain> Main;
};
