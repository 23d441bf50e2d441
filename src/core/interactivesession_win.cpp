#include "interactivesession.h"

#include <windows.h>

#include <cwchar>

namespace {
bool visibleWindowStation()
{
    HWINSTA station = GetProcessWindowStation();
    USEROBJECTFLAGS flags{};
    DWORD needed = 0;
    if (!station || !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, &needed))
        return false;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

bool inServiceSession()
{
    DWORD session = 0;
    return ProcessIdToSessionId(GetCurrentProcessId(), &session) && session == 0;
}

bool isServerCore()
{
    wchar_t type[64] = {};
    DWORD size = sizeof type;
    const LSTATUS status =
        RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                     L"InstallationType", RRF_RT_REG_SZ, nullptr, type, &size);
    return status == ERROR_SUCCESS && std::wcscmp(type, L"Server Core") == 0;
}
} // namespace

bool isInteractiveSession()
{
    return visibleWindowStation() && !inServiceSession() && !isServerCore();
}
