#pragma once

// Standard output on Windows, without Qt: a real console gets UTF-16 through
// WriteConsoleW, a file or a pipe gets UTF-8; every write is flushed.

#include <cstddef>

namespace Win32Console {

void write(const char16_t* text, std::size_t length);
// A GUI program started from a console writes to that console, unless its
// output already goes to a file or a pipe.
void attachParentConsole();

} // namespace Win32Console
