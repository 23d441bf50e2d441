#pragma once

#include <QString>

class RegistryStore;

// Key scans: each returns the full registry key of a product whose location
// depends on the installed release, or empty text when nothing matched.
namespace KeyScans {
QString server(const RegistryStore& store);
QString flurrin(const RegistryStore& store);
QString calder(const RegistryStore& store);
QString taskwell(const RegistryStore& store);
QString foundryFamily(const RegistryStore& store, const QString& subkey);
QString routeFamily(const RegistryStore& store, const QString& groupPrefix);
} // namespace KeyScans

// The first run of digits and dots in a text, e.g. "CALDER_ServerExt10.3" -> "10.3".
QString versionFromText(const QString& text);

// "RealVersion" of "HKEY_LOCAL_MACHINE\SOFTWARE\VANDRY\TKX".
QString taskwellRootVersion(const RegistryStore& store);
// "RealVersion" of the key above the given one.
QString parentKeyVersion(const RegistryStore& store, const QString& key);
