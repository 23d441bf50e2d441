// Runs the Windows layers without Qt, for tst_liveregistry under Wine:
//   windows_layers dump KEY...   every key below each KEY, subkeys in the
//                                registry store's order, values by name and
//                                read as text, as UTF-8 on standard output
//   windows_layers console       a line of non-ASCII text through the console writer

#include "registryvalue.h"
#include "win32console.h"
#include "win32registry.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
void print(const std::u16string& text)
{
    Win32Console::write(text.data(), text.size());
}

std::u16string utf16(const std::wstring& text)
{
    return std::u16string(text.begin(), text.end());
}

std::wstring wide(const char* text)
{
    std::wstring result;
    for (const char* c = text; *c; ++c)
        result += wchar_t(static_cast<unsigned char>(*c));
    return result;
}

void dump(const std::wstring& top)
{
    std::vector<std::wstring> pending{top};
    while (!pending.empty()) {
        const std::wstring key = pending.back();
        pending.pop_back();
        print(u"[" + utf16(key) + u"]\n");
        std::vector<Win32Registry::RawValue> values = Win32Registry::values(key);
        std::sort(values.begin(), values.end(),
                  [](const auto& a, const auto& b) { return a.name < b.name; });
        for (const auto& value : values)
            print(u"\"" + utf16(value.name) + u"\"=" +
                  RegistryValue::text(value.type, value.bytes.data(), value.bytes.size()) + u"\n");
        const std::vector<std::wstring> subkeys = Win32Registry::subkeys(key);
        for (auto it = subkeys.rbegin(); it != subkeys.rend(); ++it)
            pending.push_back(key + L"\\" + *it);
    }
}
} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "console") {
        print(u"Zelvan f\u00fcr Quorix \u2013 Gr\u00f6\u00dfe \u20ac \U0001F600");
        return 0;
    }
    if (mode != "dump")
        return 2;
    for (int i = 2; i < argc; ++i)
        dump(wide(argv[i]));
    return 0;
}
