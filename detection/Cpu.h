#pragma once
#include <cstdint>
#include <string>

class cRegistry;

// The processor's name and clock frequency, as Windows describes the first
// processor in the registry, for the system summary. Keeps nothing; every
// call reads the registry anew. Created by the start-up, used on the main
// thread.
class cCPU {
public:
    // The registry must outlive the reader.
    explicit cCPU(cRegistry& registry) : Registry(registry) {}

    // Without the blanks and control characters around it (Windows pads the
    // name with leading blanks on many processors); "Unknown" when the value
    // is missing or not a text.
    std::string GetProcessorName();
    // 0 when the value is missing or not a number.
    uint32_t GetProcessorMhz();

private:
    cRegistry& Registry;
};
