// FPManager.exe
//
// Stands in for a front panel manager in the Wine tests: it does nothing and
// runs until it is killed (taskkill /F /IM FPManager.exe). A test copies it
// into one of the folders where the program looks for the real one.
#include <windows.h>

int main()
{
    for (;;)
        Sleep(INFINITE);
}
