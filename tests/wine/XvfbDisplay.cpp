#include "XvfbDisplay.h"

#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace {
constexpr int START_TIMEOUT_MS = 20000;
constexpr auto STOP_GRACE = std::chrono::milliseconds(3000);

// Owns one end of a pipe.
class cDescriptor {
public:
    explicit cDescriptor(int fd) : Fd(fd) {}
    ~cDescriptor()
    {
        if (Fd >= 0)
            close(Fd);
    }
    cDescriptor(const cDescriptor&) = delete;
    cDescriptor& operator=(const cDescriptor&) = delete;
    void Close()
    {
        if (Fd >= 0)
            close(Fd);
        Fd = -1;
    }
    int Fd;
};
}  // namespace

cXvfbDisplay::cXvfbDisplay()
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        throw std::runtime_error("cXvfbDisplay: pipe failed");
    cDescriptor readEnd(ends[0]);
    cDescriptor writeEnd(ends[1]);

    // -displayfd: Xvfb takes the first free display number and writes it to
    // the descriptor once it accepts connections.
    cLaunch launch;
    launch.Arguments = {"Xvfb", "-displayfd", std::to_string(writeEnd.Fd), "-screen", "0", "1280x800x24",
                        "-nolisten", "tcp"};
    launch.InheritedDescriptors = {writeEnd.Fd};
    Server = std::make_unique<cChildProcess>(launch);
    writeEnd.Close();

    std::string number;
    pollfd waitFor{readEnd.Fd, POLLIN, 0};
    while (number.empty() || number.back() != '\n') {
        if (poll(&waitFor, 1, START_TIMEOUT_MS) <= 0)
            throw std::runtime_error("Xvfb did not report its display");
        char buffer[16];
        const ssize_t got = read(readEnd.Fd, buffer, sizeof buffer);
        if (got <= 0)
            throw std::runtime_error("Xvfb ended before reporting its display");
        number.append(buffer, static_cast<size_t>(got));
    }
    number.pop_back();
    Name_ = ":" + number;
}

cXvfbDisplay::~cXvfbDisplay()
{
    Server->Stop(STOP_GRACE);
}
