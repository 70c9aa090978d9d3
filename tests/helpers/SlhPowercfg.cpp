// powercfg.exe [ARGUMENTS...]
//
// Stands in for the Windows power configuration tool in the Wine tests,
// which put it into the prefix's system directory. It records each run and
// answers as the test scripted, so a test sees exactly what the program
// asked for and can play any answer of the real tool:
//   C:\powercfg.log     gets "started: ARGUMENTS" when it starts and
//                       "ended: ARGUMENTS" just before it exits, where
//                       ARGUMENTS is the command line without the program
//                       name, as given (a caller that waits for the tool sees
//                       both lines before its next step);
//   C:\powercfg.script  when it exists, answers per command, one line each:
//                         ARGUMENTS<TAB>EXIT CODE<TAB>DELAY MS<TAB>OUTPUT
//                       the first line whose ARGUMENTS equal the run's (or
//                       are "*") decides; in OUTPUT "\r", "\n", "\t" and
//                       "\\" stand for CR, LF, TAB and a backslash, and
//                       "\xHH" for the byte HH (a report in the console's
//                       code page: "\x84" is a-umlaut in code page 437);
//   otherwise:
//   C:\powercfg.out     when it exists, its content is written to standard
//                       output, as the real tool's report would be;
//   C:\powercfg.delay   when it exists, the number of milliseconds to stay
//                       running between the two lines (0 without the file);
//                       the exit code is 0.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr const char* LOG_FILE = "C:\\powercfg.log";
constexpr const char* OUTPUT_FILE = "C:\\powercfg.out";
constexpr const char* DELAY_FILE = "C:\\powercfg.delay";
constexpr const char* SCRIPT_FILE = "C:\\powercfg.script";

// The longest stay a delay file may ask for, so that a stray file cannot
// hang a test.
constexpr unsigned long MAX_DELAY_MS = 60000;

// The command line after the program name (quoted or not) and the blanks
// that follow it.
std::string Arguments()
{
    const std::string line = GetCommandLineA();
    size_t at = 0;
    if (!line.empty() && line[0] == '"') {
        const size_t quote = line.find('"', 1);
        at = quote == std::string::npos ? line.size() : quote + 1;
    }
    at = line.find_first_of(" \t", at);
    if (at == std::string::npos)
        return {};
    at = line.find_first_not_of(" \t", at);
    if (at == std::string::npos)
        return {};
    std::string arguments = line.substr(at);
    arguments.erase(arguments.find_last_not_of(" \t") + 1);
    return arguments;
}

bool ReadFile(const char* path, std::string& content)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    std::fclose(file);
    return true;
}

// Opened per line, so that the line is on disk even if the run is killed.
void AppendLine(const std::string& line)
{
    FILE* file = std::fopen(LOG_FILE, "ab");
    if (!file)
        return;
    const std::string text = line + "\r\n";
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

unsigned long Delay()
{
    std::string text;
    if (!ReadFile(DELAY_FILE, text))
        return 0;
    const unsigned long delay = std::strtoul(text.c_str(), nullptr, 10);
    return delay < MAX_DELAY_MS ? delay : MAX_DELAY_MS;
}

struct cAnswer {
    std::string Output;
    unsigned long Delay = 0;
    int ExitCode = 0;
};

std::string Unescape(const std::string& text)
{
    std::string result;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\\' || at + 1 == text.size()) {
            result += text[at];
            continue;
        }
        const char next = text[++at];
        if (next == 'x' && at + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[at + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[at + 2]))) {
            result += static_cast<char>(std::stoi(text.substr(at + 1, 2), nullptr, 16));
            at += 2;
            continue;
        }
        result += next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
    }
    return result;
}

// The scripted answer to the arguments; false when there is no script or no
// line for them.
bool ScriptedAnswer(const std::string& arguments, cAnswer& answer)
{
    std::string script;
    if (!ReadFile(SCRIPT_FILE, script))
        return false;
    size_t at = 0;
    while (at < script.size()) {
        size_t end = script.find('\n', at);
        if (end == std::string::npos)
            end = script.size();
        std::string line = script.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        const size_t tab3 = tab2 == std::string::npos ? tab2 : line.find('\t', tab2 + 1);
        if (tab3 == std::string::npos)
            continue;
        const std::string pattern = line.substr(0, tab1);
        if (pattern != "*" && pattern != arguments)
            continue;
        answer.ExitCode = std::atoi(line.substr(tab1 + 1, tab2 - tab1 - 1).c_str());
        answer.Delay = std::strtoul(line.substr(tab2 + 1, tab3 - tab2 - 1).c_str(), nullptr, 10);
        if (answer.Delay > MAX_DELAY_MS)
            answer.Delay = MAX_DELAY_MS;
        answer.Output = Unescape(line.substr(tab3 + 1));
        return true;
    }
    return false;
}

}  // namespace

int main()
{
    const std::string arguments = Arguments();
    AppendLine("started: " + arguments);
    cAnswer answer;
    if (!ScriptedAnswer(arguments, answer)) {
        ReadFile(OUTPUT_FILE, answer.Output);
        answer.Delay = Delay();
    }
    // Byte for byte: a text-mode stdout would turn each LF into CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(answer.Output.data(), 1, answer.Output.size(), stdout);
    std::fflush(stdout);
    Sleep(answer.Delay);
    AppendLine("ended: " + arguments);
    return answer.ExitCode;
}
