// slhmcsa [-n NAME] (-f FILE | SCRIPT)
//
// Stands in for the Media Center add-in in the Wine tests: creates the named
// mapping (default "slhmcsa", one full block of session records) and writes
// records into it on a timeline, keeping the mapping alive while it runs.
//
// The script is a list of statements separated by ';' or line ends ('#'
// starts a comment line), each "[TIME] COMMAND":
//   TIME   seconds from the start, with an optional unit s, m or h ("0s",
//          "1.5m", "90"). Without it a statement follows the one before.
//          Times must not go backwards.
//   rec N [state=S] [a=X] [b=X] [progress=X] [step=X]
//          record N (0..14) in use, with the fields given (others as they
//          were). S is Recording, Playing, Paused, Stopped, Ended, Menu,
//          Closing, None or a number; step=X adds X to the progress every
//          second, as a playback that advances.
//   free N     record N free (its fields stay)
//   clear      every record free
//   end        exit, closing the mapping
// Without "end" it runs until it is killed. Numbers are decimal or 0x
// hexadecimal. "ready" goes to stdout once the mapping exists and the
// statements due at the start are written.
// Example: slhmcsa "0s rec 1 state=Recording; 30m end"
#include "NumberArg.h"
#include "targets/MediaCenterContract.h"

#include <windows.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

enum eExit : int {
    EXIT_DONE = 0,
    EXIT_USAGE = 3,
    EXIT_FAILED = 4,  // the mapping could not be created
};

constexpr DWORD POLL_MS = 20;
constexpr DWORD STEP_MS = 1000;

struct cSlot {
    cMcsaRecord Record;
    uint32_t Step = 0;
};

struct cStatement {
    double At = 0;  // seconds from the start
    std::vector<std::string> Words;
};

const std::map<std::string, uint32_t> STATE_NAMES = {
    {"None", MCSA_STATE_NONE},         {"Stopped", MCSA_STATE_STOPPED}, {"Playing", MCSA_STATE_PLAYING},
    {"Paused", MCSA_STATE_PAUSED},     {"Ended", MCSA_STATE_ENDED},     {"Recording", MCSA_STATE_RECORDING},
    {"Menu", MCSA_STATE_MENU},         {"Closing", MCSA_STATE_CLOSING},
};

bool Fail(const std::string& message)
{
    std::fprintf(stderr, "slhmcsa: %s\n", message.c_str());
    return false;
}

bool ParseNumber(const std::string& text, uint32_t& value)
{
    long long number = 0;
    if (!ParseInteger(text, number) || number < 0 || number > 0xFFFFFFFFLL)
        return Fail("not a 32-bit number: " + text);
    value = static_cast<uint32_t>(number);
    return true;
}

bool ParseTime(const std::string& text, double& seconds)
{
    double factor = 1;
    std::string number = text;
    const char unit = text.back();
    if (unit == 's' || unit == 'm' || unit == 'h') {
        factor = unit == 's' ? 1 : unit == 'm' ? 60 : 3600;
        number.pop_back();
    }
    if (!ParseSeconds(number, seconds))
        return Fail("not a time: " + text);
    seconds *= factor;
    return true;
}

bool ParseRecordIndex(const std::string& text, int& index)
{
    uint32_t number = 0;
    if (!ParseNumber(text, number) || number >= static_cast<uint32_t>(MCSA_RECORD_COUNT))
        return Fail("no such record: " + text);
    index = static_cast<int>(number);
    return true;
}

// Checks a statement's command; when slots is given, also carries it out.
bool Apply(const std::vector<std::string>& words, std::array<cSlot, MCSA_RECORD_COUNT>* slots, bool& end)
{
    const std::string& command = words[0];
    if (command == "end" || command == "clear") {
        if (words.size() != 1)
            return Fail(command + " takes no arguments");
        if (slots != nullptr) {
            end = command == "end";
            if (command == "clear")
                for (cSlot& slot : *slots)
                    slot.Record.InUse = false;
        }
        return true;
    }
    if (command != "rec" && command != "free")
        return Fail("unknown command: " + command);
    if (words.size() < 2)
        return Fail(command + " needs a record number");
    int index = 0;
    if (!ParseRecordIndex(words[1], index))
        return false;
    if (command == "free") {
        if (words.size() != 2)
            return Fail("free takes only a record number");
        if (slots != nullptr)
            (*slots)[static_cast<size_t>(index)].Record.InUse = false;
        return true;
    }
    cSlot slot = slots != nullptr ? (*slots)[static_cast<size_t>(index)] : cSlot{};
    slot.Record.InUse = true;
    for (size_t i = 2; i < words.size(); ++i) {
        const size_t equals = words[i].find('=');
        if (equals == std::string::npos)
            return Fail("expected FIELD=VALUE: " + words[i]);
        const std::string field = words[i].substr(0, equals);
        const std::string value = words[i].substr(equals + 1);
        uint32_t number = 0;
        if (field == "state") {
            auto named = STATE_NAMES.find(value);
            if (named != STATE_NAMES.end())
                number = named->second;
            else if (!ParseNumber(value, number))
                return false;
            slot.Record.State = number;
            continue;
        }
        if (!ParseNumber(value, number))
            return false;
        if (field == "a")
            slot.Record.DetailA = number;
        else if (field == "b")
            slot.Record.DetailB = number;
        else if (field == "progress")
            slot.Record.Progress = number;
        else if (field == "step")
            slot.Step = number;
        else
            return Fail("unknown field: " + field);
    }
    if (slots != nullptr)
        (*slots)[static_cast<size_t>(index)] = slot;
    return true;
}

bool ParseScript(const std::string& script, std::vector<cStatement>& statements)
{
    std::string text = script;
    for (char& c : text)
        if (c == ';' || c == '\r')
            c = '\n';
    std::istringstream lines(text);
    std::string line;
    double at = 0;
    while (std::getline(lines, line)) {
        std::istringstream wordStream(line);
        std::vector<std::string> words;
        for (std::string word; wordStream >> word;)
            words.push_back(word);
        if (words.empty() || words[0][0] == '#')
            continue;
        const char first = words[0][0];
        if ((first >= '0' && first <= '9') || first == '.') {
            double time = 0;
            if (!ParseTime(words[0], time))
                return false;
            if (time < at)
                return Fail("time goes backwards: " + words[0]);
            at = time;
            words.erase(words.begin());
            if (words.empty())
                return Fail("a time without a command: " + line);
        }
        bool end = false;
        if (!Apply(words, nullptr, end))
            return false;
        statements.push_back({at, words});
    }
    return true;
}

bool ReadFile(const std::string& path, std::string& text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Fail("cannot read " + path);
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return true;
}

void WriteAll(uint8_t* block, const std::array<cSlot, MCSA_RECORD_COUNT>& slots)
{
    for (int i = 0; i < MCSA_RECORD_COUNT; ++i)
        WriteMcsaRecord(block, MCSA_BLOCK_SIZE, i, slots[static_cast<size_t>(i)].Record);
}

int Usage()
{
    std::fprintf(stderr, "usage: slhmcsa [-n NAME] (-f FILE | SCRIPT)\n");
    return EXIT_USAGE;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string name = MCSA_BLOCK_NAME;
    std::string script;
    bool haveScript = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "-n" || arg == "-f") && i + 1 < argc) {
            const std::string value = argv[++i];
            if (arg == "-n")
                name = value;
            else if (haveScript || !ReadFile(value, script))
                return Usage();
            else
                haveScript = true;
        } else if (!haveScript) {
            script = arg;
            haveScript = true;
        } else {
            return Usage();
        }
    }
    std::vector<cStatement> statements;
    if (!haveScript || !ParseScript(script, statements))
        return Usage();

    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        static_cast<DWORD>(MCSA_BLOCK_SIZE), name.c_str());
    if (mapping == nullptr) {
        std::fprintf(stderr, "slhmcsa: CreateFileMapping failed, error %lu\n", GetLastError());
        return EXIT_FAILED;
    }
    auto* block = static_cast<uint8_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, MCSA_BLOCK_SIZE));
    if (block == nullptr) {
        std::fprintf(stderr, "slhmcsa: MapViewOfFile failed, error %lu\n", GetLastError());
        CloseHandle(mapping);
        return EXIT_FAILED;
    }
    ZeroMemory(block, MCSA_BLOCK_SIZE);

    std::array<cSlot, MCSA_RECORD_COUNT> slots{};
    const DWORD start = GetTickCount();
    DWORD nextStep = STEP_MS;
    size_t next = 0;
    bool end = false;
    bool ready = false;
    while (!end) {
        const DWORD elapsed = GetTickCount() - start;
        while (elapsed >= nextStep) {
            for (cSlot& slot : slots)
                if (slot.Record.InUse)
                    slot.Record.Progress += slot.Step;
            nextStep += STEP_MS;
        }
        while (!end && next < statements.size() && statements[next].At * 1000.0 <= elapsed) {
            Apply(statements[next].Words, &slots, end);
            ++next;
        }
        WriteAll(block, slots);
        if (!ready) {
            std::printf("ready\n");
            std::fflush(stdout);
            ready = true;
        }
        if (!end)
            Sleep(POLL_MS);
    }
    UnmapViewOfFile(block);
    CloseHandle(mapping);
    return EXIT_DONE;
}
