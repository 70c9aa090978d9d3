#include "BoxWatcher.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "WinePaths.h"

namespace {

// The watcher scans every 100 ms; this leaves room for a slow last scan.
constexpr auto STOP_TIMEOUT = std::chrono::seconds(10);

std::string Unescape(const std::string& text)
{
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'r' || text[i + 1] == 'n')) {
            plain += text[i + 1] == 'r' ? '\r' : '\n';
            ++i;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const cBoxRecord& record)
{
    return out << "[" << record.Caption << "] " << record.Text;
}

cBoxWatcher::cBoxWatcher(const cWine& wine, const std::string& exePath, const std::string& recordFile)
    : RecordFile(recordFile)
{
    Process = wine.Start({exePath, WindowsPathOf(recordFile)});
}

cBoxWatcher::~cBoxWatcher()
{
    Stop();
}

std::vector<cBoxRecord> cBoxWatcher::Stop()
{
    if (!Process->HasExited()) {
        std::ofstream(RecordFile + ".stop").put('\n');
        if (!Process->WaitForExit(STOP_TIMEOUT))
            Process->Kill();
    }
    std::ifstream file(RecordFile, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return ParseBoxRecords(content.str());
}

std::vector<cBoxRecord> ParseBoxRecords(const std::string& content)
{
    std::vector<cBoxRecord> records;
    std::istringstream lines(content);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos)
            records.push_back({Unescape(line), ""});
        else
            records.push_back({Unescape(line.substr(0, tab)), Unescape(line.substr(tab + 1))});
    }
    return records;
}

std::vector<cBoxRecord> WithoutSummaryBoxes(std::vector<cBoxRecord> boxes)
{
    const cBoxRecord summaryBox{"Error", "Reading PowerInformation failed, unknown error."};
    boxes.erase(std::remove(boxes.begin(), boxes.end(), summaryBox), boxes.end());
    return boxes;
}
