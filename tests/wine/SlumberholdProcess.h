#pragma once
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "WindowMessenger.h"
#include "Wine.h"

// Slumberhold.exe running in the background in a test's prefix, reached
// through its application window (class "TApplication"). The destructor
// kills it if it still runs.
class cSlumberholdProcess {
public:
    static constexpr const char* WINDOW_CLASS = "TApplication";

    // Starts the program with the switches; its output goes to outputFile.
    // Throws std::runtime_error when Wine cannot be started.
    cSlumberholdProcess(const cWine& wine, const cWindowMessenger& windows, const std::string& exePath,
                        const std::vector<std::string>& switches, const std::string& outputFile);

    // The application window with this title.
    static cWindowName Window(const std::string& title) { return {WINDOW_CLASS, title}; }

    bool WaitForWindow(const std::string& title, std::chrono::milliseconds timeout) const;
    // Sends WM_CLOSE to the application window with this title; false when
    // it was not delivered.
    bool Close(const std::string& title) const;
    // The exit code; nothing when the process did not end in time, in which
    // case it has been killed.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);

private:
    const cWindowMessenger& Windows;
    std::unique_ptr<cChildProcess> Process;
};
