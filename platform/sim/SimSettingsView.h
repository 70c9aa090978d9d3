#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/SettingsView.h"

// The settings pages on the simulated machine: keeps what the window would
// show, and plays the user, whose acts go to the listener as the native
// controls would report them.
class cSimSettingsView final : public cSettingsView {
public:
    // The view tells the windowing when it goes (Forget), so that a test
    // never reaches a view that is gone.
    class cOwner {
    public:
        virtual ~cOwner() = default;
        virtual void Forget(cSimSettingsView& view) = 0;
    };

    cSimSettingsView(cOwner& owner, cSettingsViewListener& listener) : Owner(owner), Listener(listener) {}
    ~cSimSettingsView() override { Owner.Forget(*this); }
    cSimSettingsView(const cSimSettingsView&) = delete;
    cSimSettingsView& operator=(const cSimSettingsView&) = delete;

    void SetPages(const std::vector<cViewPage>& pages, const std::string& fontName) override;
    void SetState(uint16_t id, const cViewControlState& state) override;
    void SelectPage(size_t visibleIndex) override;
    std::string SelectedPage() const override;
    // Answers with the folder set by AnswerFolderDialog (cancels without).
    bool ChooseFolder(const std::string& prompt, const std::string& start, std::string& folder) override;

    // The user's answer to the next folder dialogs; empty cancels them.
    void AnswerFolderDialog(const std::string& folder) { FolderAnswer = folder; }
    // The prompt and start folder of each folder dialog shown.
    const std::vector<std::pair<std::string, std::string>>& FolderDialogs() const { return FolderDialogs_; }

    // What the window shows.
    std::vector<std::string> Tabs() const;
    const std::string& FontName() const { return Font; }
    // The control of that name on a visible page; null when none.
    const cViewControl* Find(const std::string& name) const;
    // Its state; a default state for an unknown control.
    cViewControlState State(const std::string& name) const;
    // The text of the chosen combo box or radio item; empty when none.
    std::string ChosenItem(const std::string& name) const;

    // The user's acts on a control of a visible page, named by its name.
    // Acts on a control that is missing, hidden or disabled are refused
    // (false), as the native window would not let them happen.
    bool Tick(const std::string& name, bool checked);
    bool Choose(const std::string& name, const std::string& item);
    bool Move(const std::string& name, int position);
    bool Type(const std::string& name, const std::string& text);
    bool Press(const std::string& name);
    bool TickRow(const std::string& name, size_t row, bool checked);
    bool DoubleClick(const std::string& name);

private:
    const cViewControl* Usable(const std::string& name) const;

    cOwner& Owner;
    cSettingsViewListener& Listener;
    std::vector<cViewPage> Pages;
    std::string Font;
    std::map<uint16_t, cViewControlState> States;
    size_t Selected = 0;
    std::string FolderAnswer;
    std::vector<std::pair<std::string, std::string>> FolderDialogs_;
};
