#pragma once
#include <exception>

// Exceptions thrown by the logic inside a callback from Windows (a window
// procedure called by DispatchMessage, SendMessage, CreateWindowEx, a modal
// message box's loop, ...) must not unwind through the system's frames: the
// i686 build unwinds with DWARF tables, which user32 does not have, so the
// program would end in std::terminate. The callback catches the exception
// and keeps it here; every platform call during which Windows may call back
// rethrows it when control is back in our code, so the logic sees the
// exception come out of that call, as if the procedure had been called
// directly. Kept per thread, because a window's procedure runs on the
// thread that owns the window.

// Keeps the first exception caught in a callback on this thread (a later
// one, thrown while the first is waiting, is dropped).
void StoreCallbackException(std::exception_ptr exception);

// Rethrows and forgets the exception kept on this thread, if any.
void RethrowCallbackException();
