#pragma once

// The live Windows registry, read only: the small layer without Qt that the
// registry store stands on (and that the Windows test program runs under
// Wine). Keys are full paths such as L"HKEY_LOCAL_MACHINE\\SOFTWARE\\VANDRY",
// read in the 64-bit view; HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\..., as
// "reg export" names the 32-bit view, is read in the 32-bit view. A key that
// is missing, or that may not be read, reads as absent.

#include <optional>
#include <string>
#include <vector>

namespace Win32Registry {

struct RawValue
{
    std::wstring name;
    unsigned long type = 0;
    std::vector<unsigned char> bytes;
};

// The subkeys' names, sorted as Windows sorts them (ordinal, ignoring case by
// its simple upper-case mapping), whatever order the registry hands them in.
std::vector<std::wstring> subkeys(const std::wstring& key);
bool exists(const std::wstring& key);
std::vector<RawValue> values(const std::wstring& key);
std::optional<RawValue> value(const std::wstring& key, const std::wstring& name);

} // namespace Win32Registry
