// powercfg.exe [ARGUMENTS...]
//
// Stands in for the Windows power configuration tool in the Wine tests,
// which put it into the prefix's system directory. It records each run and
// does nothing else, so a test sees exactly what the program asked for:
//   C:\powercfg.log    gets "started: ARGUMENTS" when it starts and
//                      "ended: ARGUMENTS" just before it exits, where
//                      ARGUMENTS is the command line without the program
//                      name, as given (a caller that waits for the tool sees
//                      both lines before its next step);
//   C:\powercfg.out    when it exists, its content is written to standard
//                      output, as the real tool's report would be;
//   C:\powercfg.delay  when it exists, the number of milliseconds to stay
//                      running between the two lines (0 without the file).
// The exit code is 0.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr const char* LOG_FILE = "C:\\powercfg.log";
constexpr const char* OUTPUT_FILE = "C:\\powercfg.out";
constexpr const char* DELAY_FILE = "C:\\powercfg.delay";

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

}  // namespace

int main()
{
    const std::string arguments = Arguments();
    AppendLine("started: " + arguments);
    std::string output;
    if (ReadFile(OUTPUT_FILE, output)) {
        std::fwrite(output.data(), 1, output.size(), stdout);
        std::fflush(stdout);
    }
    Sleep(Delay());
    AppendLine("ended: " + arguments);
    return 0;
}
