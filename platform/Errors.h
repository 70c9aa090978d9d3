#pragma once
#include <cstdint>
#include <string>

// The calling thread's last platform error and the system's texts for codes.
class cSystemErrors {
public:
    virtual ~cSystemErrors() = default;

    virtual uint32_t GetLastError() = 0;
    virtual void SetLastError(uint32_t code) = 0;
    // The system's message text in its default language, as the system
    // returns it (normally ending in CR LF); false when there is none.
    virtual bool FormatMessage(uint32_t code, std::string& text) = 0;
};
