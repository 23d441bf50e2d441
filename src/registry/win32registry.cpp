#include "win32registry.h"

#include "hives.h"

#include <windows.h>

#include <algorithm>

namespace Win32Registry {
namespace {
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16");

HKEY rootKey(Hive hive)
{
    switch (hive) {
    case Hive::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    case Hive::CurrentUser:
        return HKEY_CURRENT_USER;
    case Hive::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case Hive::Users:
        return HKEY_USERS;
    case Hive::CurrentConfig:
        break;
    }
    return HKEY_CURRENT_CONFIG;
}

bool startsWithName(const std::wstring& text, const wchar_t* prefix)
{
    const int length = int(wcslen(prefix));
    return int(text.size()) >= length &&
           CompareStringOrdinal(text.c_str(), length, prefix, length, TRUE) == CSTR_EQUAL &&
           (int(text.size()) == length || text[size_t(length)] == L'\\');
}

// An open key, closed when it goes.
class OpenKey
{
public:
    explicit OpenKey(const std::wstring& path)
    {
        const std::wstring::size_type separator = path.find(L'\\');
        const std::wstring hive = path.substr(0, separator);
        std::wstring rest = separator == std::wstring::npos ? L"" : path.substr(separator + 1);
        const auto named = [&hive](const char16_t* name) {
            return CompareStringOrdinal(hive.c_str(), -1, reinterpret_cast<const wchar_t*>(name),
                                        -1, TRUE) == CSTR_EQUAL;
        };
        for (const HiveName& entry : hiveNames) {
            if (!named(entry.longName) && !named(entry.shortName))
                continue;
            // The 32-bit view is opened as Windows means it to be, not through
            // the node that stands for it in the 64-bit view.
            REGSAM view = KEY_WOW64_64KEY;
            const wchar_t* node = L"SOFTWARE\\WOW6432Node";
            if (entry.hive == Hive::LocalMachine && startsWithName(rest, node)) {
                view = KEY_WOW64_32KEY;
                rest = L"SOFTWARE" + rest.substr(wcslen(node));
            }
            if (RegOpenKeyExW(rootKey(entry.hive), rest.c_str(), 0, KEY_READ | view, &key) !=
                ERROR_SUCCESS)
                key = nullptr;
        }
    }
    ~OpenKey()
    {
        if (key)
            RegCloseKey(key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY key = nullptr;
};

bool windowsOrder(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) ==
           CSTR_LESS_THAN;
}
} // namespace

std::vector<std::wstring> subkeys(const std::wstring& path)
{
    std::vector<std::wstring> names;
    const OpenKey open(path);
    if (!open.key)
        return names;
    DWORD longest = 0;
    if (RegQueryInfoKeyW(open.key, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::vector<wchar_t> name(longest + 1);
    for (DWORD index = 0;; ++index) {
        DWORD length = DWORD(name.size());
        if (RegEnumKeyExW(open.key, index, name.data(), &length, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name.data(), length);
    }
    std::stable_sort(names.begin(), names.end(), windowsOrder);
    return names;
}

bool exists(const std::wstring& path)
{
    return OpenKey(path).key != nullptr;
}

std::vector<RawValue> values(const std::wstring& path)
{
    std::vector<RawValue> found;
    const OpenKey open(path);
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (!open.key ||
        RegQueryInfoKeyW(open.key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return found;
    std::vector<wchar_t> name(longestName + 1);
    std::vector<unsigned char> data(longestData + 1);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = DWORD(name.size());
        DWORD dataLength = DWORD(data.size());
        DWORD type = 0;
        if (RegEnumValueW(open.key, index, name.data(), &nameLength, nullptr, &type, data.data(),
                          &dataLength) != ERROR_SUCCESS)
            break;
        found.push_back({std::wstring(name.data(), nameLength), type,
                         std::vector<unsigned char>(data.begin(), data.begin() + dataLength)});
    }
    return found;
}

std::optional<RawValue> value(const std::wstring& path, const std::wstring& name)
{
    const OpenKey open(path);
    DWORD type = 0;
    DWORD size = 0;
    if (!open.key ||
        RegQueryValueExW(open.key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    RawValue found{name, type, std::vector<unsigned char>(size)};
    if (RegQueryValueExW(open.key, name.c_str(), nullptr, &type, found.bytes.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    found.bytes.resize(size);
    return found;
}

} // namespace Win32Registry
