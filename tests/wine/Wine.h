#pragma once
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"

// Runs Windows programs in one Wine prefix: every Wine process of the tests
// gets the same environment (the prefix, the X display, a HOME of its own,
// no debug output but the power library's stubs, no Mono or Gecko install
// prompts, no desktop menu entries).
class cWine {
public:
    // errorLog: a file that collects the standard error of every Wine
    // process started here (empty: none), for a look after a failure.
    cWine(std::string prefix, std::string display, std::string home, std::string errorLog = {});

    // A launch of a Windows program: a Linux path to an .exe, or a program
    // Wine finds in system32 ("reg", "wineboot.exe").
    cLaunch Program(std::vector<std::string> arguments) const;
    std::unique_ptr<cChildProcess> Start(std::vector<std::string> arguments,
                                         const std::string& outputFile = {}) const;
    cRunResult Run(std::vector<std::string> arguments, std::chrono::milliseconds timeout) const;

    // Starts the prefix's wineserver for good: left alone, it shuts Wine's
    // own services down a few seconds after the last program ends, and a
    // program started meanwhile may fail. Ended by KillServer.
    bool StartServer() const;
    // Ends every process of the prefix and its wineserver, which saves the
    // registry to the prefix's files on the way out. False when that could
    // not be confirmed in time.
    bool KillServer() const noexcept;

    const std::string& Prefix() const { return Prefix_; }

private:
    cLaunch Launch(std::vector<std::string> arguments) const;

    std::string Prefix_;
    std::string Display;
    std::string Home;
    std::string ErrorLog;
};
