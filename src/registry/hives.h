#pragma once

// The registry's top-level keys, by the long and short names Windows gives
// them; one table for the export reader and the Win32 layer (which is Qt-free).
enum class Hive
{
    LocalMachine,
    CurrentUser,
    ClassesRoot,
    Users,
    CurrentConfig
};

struct HiveName
{
    Hive hive;
    const char16_t* longName;
    const char16_t* shortName;
};

inline constexpr HiveName hiveNames[] = {
    {Hive::LocalMachine, u"HKEY_LOCAL_MACHINE", u"HKLM"},
    {Hive::CurrentUser, u"HKEY_CURRENT_USER", u"HKCU"},
    {Hive::ClassesRoot, u"HKEY_CLASSES_ROOT", u"HKCR"},
    {Hive::Users, u"HKEY_USERS", u"HKU"},
    {Hive::CurrentConfig, u"HKEY_CURRENT_CONFIG", u"HKCC"},
};
