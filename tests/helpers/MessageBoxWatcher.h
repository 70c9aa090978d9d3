#pragma once
#include <windows.h>

#include <map>
#include <string>

// Finds the message boxes (top-level dialogs of class "#32770") on the
// desktop, records each new one as "caption<TAB>text" in the record file and
// presses its default button, so that a program under test never waits on
// a modal box.
class cMessageBoxWatcher {
public:
    explicit cMessageBoxWatcher(std::string recordFile);

    // One scan of the desktop; call it periodically.
    void Poll();

private:
    void Record(HWND box);
    bool AppendRecord(const std::string& line);

    std::string recordFile_;
    // Boxes already recorded, with the number of scans since then. Each is
    // recorded once but pressed until it is gone.
    std::map<HWND, int> seen_;
};

// The text of a message box as one record field: CR and LF become \r and \n.
std::string EscapeLineBreaks(const std::string& text);
