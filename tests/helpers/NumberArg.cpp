#include "NumberArg.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

bool ParseInteger(const std::string& text, long long& value)
{
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    int base = 10;
    if (text.size() - pos > 2 && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    // strtoull would accept its own sign and blanks; only digits may follow here.
    if (pos >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[pos])))
        return false;

    const char* begin = text.c_str() + pos;
    char* end = nullptr;
    errno = 0;
    unsigned long long magnitude = std::strtoull(begin, &end, base);
    if (errno != 0 || end == begin || *end != '\0')
        return false;
    // Hexadecimal values above LLONG_MAX are bit patterns (0xFFFFFFFFFFFFFFFF),
    // so they wrap like the unsigned message parameters they stand for.
    value = static_cast<long long>(negative ? 0 - magnitude : magnitude);
    return true;
}

bool ParseSeconds(const std::string& text, double& seconds)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    seconds = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && seconds >= 0;
}
