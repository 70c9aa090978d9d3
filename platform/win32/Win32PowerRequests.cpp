#include "platform/win32/Win32PowerRequests.h"

#include <cstring>

#include "platform/win32/Win32.h"

namespace {

using tRegisterPowerSettingNotification = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
using tUnregisterPowerSettingNotification = BOOL(WINAPI*)(HPOWERNOTIFY);

class cWin32PowerSettingRegistration final : public cPowerSettingRegistration {
public:
    cWin32PowerSettingRegistration(HPOWERNOTIFY registration, tUnregisterPowerSettingNotification unregister)
        : Registration(registration), Unregister(unregister)
    {
    }
    ~cWin32PowerSettingRegistration() override
    {
        cLastErrorKeeper keeper;
        Unregister(Registration);
    }
    cWin32PowerSettingRegistration(const cWin32PowerSettingRegistration&) = delete;
    cWin32PowerSettingRegistration& operator=(const cWin32PowerSettingRegistration&) = delete;

private:
    HPOWERNOTIFY Registration;
    tUnregisterPowerSettingNotification Unregister;
};

}  // namespace

uint32_t cWin32PowerRequests::SetThreadExecutionState(uint32_t flags)
{
    return ::SetThreadExecutionState(static_cast<EXECUTION_STATE>(flags));
}

eProcedureLookup cWin32PowerRequests::FindPowerSettingNotification()
{
    HMODULE user32 = LoadLibraryA("User32.dll");
    if (user32 == nullptr)
        return eProcedureLookup::NoLibrary;
    const bool found = GetProcAddress(user32, "RegisterPowerSettingNotification") != nullptr;
    FreeLibrary(user32);
    return found ? eProcedureLookup::Found : eProcedureLookup::NoProcedure;
}

std::unique_ptr<cPowerSettingRegistration> cWin32PowerRequests::RegisterPowerSettingNotification(
    WindowHandle window, const cGuid& setting)
{
    auto registerNotification =
        LookUpProcedure<tRegisterPowerSettingNotification>("user32.dll", "RegisterPowerSettingNotification");
    auto unregisterNotification =
        LookUpProcedure<tUnregisterPowerSettingNotification>("user32.dll", "UnregisterPowerSettingNotification");
    if (registerNotification == nullptr || unregisterNotification == nullptr)
        return nullptr;
    GUID guid;
    static_assert(sizeof(guid) == sizeof(setting));
    std::memcpy(&guid, &setting, sizeof(guid));
    HPOWERNOTIFY registration =
        registerNotification(reinterpret_cast<HWND>(window), &guid, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (registration == nullptr)
        return nullptr;
    return std::make_unique<cWin32PowerSettingRegistration>(registration, unregisterNotification);
}
