#include "platform/win32/Win32Callbacks.h"

#include <utility>

namespace {

thread_local std::exception_ptr PendingException;

}  // namespace

void StoreCallbackException(std::exception_ptr exception)
{
    if (!PendingException)
        PendingException = std::move(exception);
}

void RethrowCallbackException()
{
    if (PendingException)
        std::rethrow_exception(std::exchange(PendingException, nullptr));
}
