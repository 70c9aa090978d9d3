#include "platform/win32/Win32Errors.h"

#include "platform/win32/Win32.h"

uint32_t cWin32SystemErrors::GetLastError()
{
    return ::GetLastError();
}

void cWin32SystemErrors::SetLastError(uint32_t code)
{
    ::SetLastError(code);
}

bool cWin32SystemErrors::FormatMessage(uint32_t code, std::string& text)
{
    char* buffer = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr)
        return false;
    // The system allocated the text with LocalAlloc; it is freed here on
    // every path, also when the copy throws.
    struct cLocalFree {
        char* Memory;
        ~cLocalFree() { LocalFree(Memory); }
    } release{buffer};
    text.assign(buffer, length);
    return true;
}
