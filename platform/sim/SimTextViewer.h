#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/TextViewer.h"

struct cSimViewing {
    WindowHandle Owner = 0;
    std::string Text;
};

// Records every showing of the viewer; the simulated user closes it at once,
// after the action set with WhileShown has run (it sees the program's state
// while the modal window is open).
class cSimTextViewer : public cTextViewer {
public:
    void ShowModal(WindowHandle owner, const std::string& oemText) override
    {
        Viewings.push_back({owner, oemText});
        if (OnShow)
            OnShow(Viewings.back());
    }

    const std::vector<cSimViewing>& Shown() const { return Viewings; }
    void WhileShown(std::function<void(const cSimViewing&)> action) { OnShow = std::move(action); }

private:
    std::vector<cSimViewing> Viewings;
    std::function<void(const cSimViewing&)> OnShow;
};
