#include "win32console.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace Win32Console {

void write(const char16_t* text, std::size_t length)
{
    const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    const auto* wide = reinterpret_cast<const wchar_t*>(text);
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
        std::fflush(stdout);
        DWORD written = 0;
        WriteConsoleW(handle, wide, DWORD(length), &written, nullptr);
        return;
    }
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide, int(length), nullptr, 0, nullptr, nullptr);
    std::string utf8(std::size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide, int(length), utf8.data(), size, nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

void attachParentConsole()
{
    const HANDLE current = GetStdHandle(STD_OUTPUT_HANDLE);
    if (current != nullptr && current != INVALID_HANDLE_VALUE &&
        GetFileType(current) != FILE_TYPE_UNKNOWN)
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        FILE* stream = nullptr;
        freopen_s(&stream, "CONOUT$", "w", stdout);
    }
}

} // namespace Win32Console
