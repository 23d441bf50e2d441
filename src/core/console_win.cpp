#include "console.h"
#include "console_backend.h"
#include "win32console.h"

void writeToStandardOutput(const QString& text)
{
    Win32Console::write(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
}

void prepareConsoleOutput()
{
    Win32Console::attachParentConsole();
}
