#pragma once
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "Wine.h"

// A message box that slhboxwatch saw (and dismissed with its default button).
struct cBoxRecord {
    std::string Caption;
    std::string Text;

    bool operator==(const cBoxRecord&) const = default;
};
std::ostream& operator<<(std::ostream& out, const cBoxRecord& record);

// slhboxwatch.exe running in a test's prefix: every message box that appears
// meanwhile is recorded and answered, so a modal box never hangs a test.
class cBoxWatcher {
public:
    // recordFile: a Linux path for the records. Throws std::runtime_error
    // when Wine cannot be started.
    cBoxWatcher(const cWine& wine, const std::string& exePath, const std::string& recordFile);
    // Stops the watcher if Stop has not.
    ~cBoxWatcher();

    // Lets the watcher make one last scan and end, then returns every box it
    // recorded.
    std::vector<cBoxRecord> Stop();

private:
    std::string RecordFile;
    std::unique_ptr<cChildProcess> Process;
};

// The records of a record file: one line per box, "caption<TAB>text", with
// CR and LF in the text written as \r and \n.
std::vector<cBoxRecord> ParseBoxRecords(const std::string& content);

// The boxes without those of the system summary at the head of a new log
// file: Wine does not implement the power policies it shows, and each
// failed read is shown in a box.
std::vector<cBoxRecord> WithoutSummaryBoxes(std::vector<cBoxRecord> boxes);
