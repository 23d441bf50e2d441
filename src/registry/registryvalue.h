#pragma once

// How a registry value reads as text, as Skyvane has always read the live
// registry: strings and expandable strings as they are (unexpanded), DWORD and
// QWORD as signed decimal numbers, a multi-string only when it holds exactly
// one string, and any other data as its bytes taken as UTF-16LE text; text
// ends at the first NUL. Free of Qt, so that the Windows registry layer and
// the registry export reader share it.

#include <cstddef>
#include <string>

namespace RegistryValue {

enum Type : unsigned long
{
    None = 0,
    String = 1,
    ExpandString = 2,
    Binary = 3,
    Dword = 4,
    DwordBigEndian = 5,
    MultiString = 7,
    Qword = 11,
};

// A character of 8-bit text in Windows-1252, the ANSI code page that 8-bit
// exports are written in: Latin-1 but for 0x80 to 0x9f.
char16_t fromWindows1252(unsigned char byte);

// eightBitText: the string types hold 8-bit text in Windows-1252 (REGEDIT4 exports).
std::u16string text(unsigned long type, const unsigned char* bytes, std::size_t size,
                    bool eightBitText = false);

} // namespace RegistryValue
