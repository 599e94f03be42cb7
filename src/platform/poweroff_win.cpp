#include "platform.h"

#include <windows.h>

namespace platform {

namespace {

PowerOffResult requestPowerOff()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return PowerOffResult::Failed;

    TOKEN_PRIVILEGES privileges;
    ZeroMemory(&privileges, sizeof(privileges));
    if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        CloseHandle(token);
        return PowerOffResult::Failed;
    }
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    // AdjustTokenPrivileges succeeds even when the privilege is not held; only the last error
    // tells (ERROR_NOT_ALL_ASSIGNED).
    const DWORD error = GetLastError();
    CloseHandle(token);
    if (error != ERROR_SUCCESS)
        return PowerOffResult::Refused;

    if (!ExitWindowsEx(EWX_SHUTDOWN | EWX_FORCE, 0))
        return PowerOffResult::Failed;
    return PowerOffResult::Requested;
}

} // namespace

// ExitWindowsEx only starts the shutdown and returns at once.
void powerOff(std::function<void(PowerOffResult)> done)
{
    const PowerOffResult result = requestPowerOff();
    if (done)
        done(result);
}

} // namespace platform
