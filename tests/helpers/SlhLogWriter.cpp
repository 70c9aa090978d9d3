// slhlogwriter N TAG
//
// Writes N first lines through the program's own logger and Windows
// backend, into the log file "SLH Log.txt" of the configured LogPath, so
// that several writers can prove the log's cross-process locking. Line i is
// "TAG line i " padded with the tag's first letter to LINE_LENGTH
// characters, which makes a torn or interleaved line easy to spot.
#include "NumberArg.h"
#include "foundation/MessageLogger.h"
#include "platform/win32/Win32Platform.h"

#include <cstdio>
#include <string>

namespace {

constexpr size_t LINE_LENGTH = 200;

std::string LineText(const std::string& tag, long long index)
{
    std::string text = tag + " line " + std::to_string(index) + " ";
    if (text.size() < LINE_LENGTH)
        text.append(LINE_LENGTH - text.size(), tag[0]);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    long long count = 0;
    if (argc != 3 || !ParseInteger(argv[1], count) || count < 0 || argv[2][0] == '\0') {
        std::fprintf(stderr, "usage: slhlogwriter N TAG\n");
        return 3;
    }
    const std::string tag = argv[2];

    cWin32Platform backend;
    cMessageLogger logger(backend.Get(), "SLH Log.txt");
    for (long long i = 1; i <= count; ++i)
        logger.WriteLine(LineText(tag, i), true);
    return 0;
}
