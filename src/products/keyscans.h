#pragma once

#include <QString>

// Key scans: each returns the full registry key of a product whose location
// depends on the installed release, or empty text when nothing matched.
namespace KeyScans {
QString server();
QString flurrin();
QString calder();
QString taskwell();
QString foundryFamily(const QString& subkey);
QString routeFamily(const QString& groupPrefix);
} // namespace KeyScans

// The first run of digits and dots in a text, e.g. "CALDER_ServerExt10.3" -> "10.3".
QString versionFromText(const QString& text);

// "RealVersion" of "HKEY_LOCAL_MACHINE\SOFTWARE\VANDRY\TKX".
QString taskwellRootVersion();
// "RealVersion" of the key above the given one.
QString parentKeyVersion(const QString& key);
