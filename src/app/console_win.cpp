#include "console.h"
#include "console_backend.h"

#include <cstdio>
#include <windows.h>

// A real console gets UTF-16 through WriteConsoleW; a pipe or file gets UTF-8.
void writeToStandardOutput(const QString& text)
{
    HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
        std::fflush(stdout);
        DWORD written = 0;
        WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(text.utf16()), DWORD(text.size()),
                      &written, nullptr);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
    std::fflush(stdout);
}

void prepareConsoleOutput()
{
    // Output already redirected to a file or pipe stays where it is.
    const HANDLE current = GetStdHandle(STD_OUTPUT_HANDLE);
    if (current != nullptr && current != INVALID_HANDLE_VALUE &&
        GetFileType(current) != FILE_TYPE_UNKNOWN)
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        FILE* stream = nullptr;
        freopen_s(&stream, "CONOUT$", "w", stdout);
    }
}
