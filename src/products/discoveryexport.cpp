#include "discoveryexport.h"

#include "patchfinder.h"

#include "core/localfile.h"

#include <QSet>

namespace {
// The trees discovery reads (keyscans.cpp, quorixproducts.cpp); VANDRY holds TKX.
const char* const vendorTrees[] = {"SOFTWARE\\VANDRY", "SOFTWARE\\VANDRY_CALDER",
                                   "SOFTWARE\\VandryFoundry", "SOFTWARE\\VandryRouteKeying"};

// The path below HKEY_LOCAL_MACHINE, whichever way the export names the hive;
// empty for another hive.
QStringView belowMachine(QStringView path)
{
    for (const QLatin1String hive :
         {QLatin1String("HKEY_LOCAL_MACHINE\\"), QLatin1String("HKLM\\")}) {
        if (path.startsWith(hive, Qt::CaseInsensitive))
            return path.mid(hive.size());
    }
    return {};
}

bool isUnder(QStringView path, const QString& tree)
{
    return path.startsWith(tree, Qt::CaseInsensitive) &&
           (path.size() == tree.size() || path.at(tree.size()) == QLatin1Char('\\'));
}

bool inVendorTree(QStringView keyPath)
{
    const QStringView path = belowMachine(keyPath);
    for (const char* tree : vendorTrees) {
        if (isUnder(path, QLatin1String(tree)))
            return true;
    }
    return false;
}

// The names an installed patch is known by: every "Name" in the vendor trees
// (more than the patch finder asks for, never less).
QSet<QString> patchNames(const RegistryFileStore& store)
{
    QSet<QString> names;
    QStringList pending;
    for (const char* tree : vendorTrees)
        pending << QStringLiteral("HKEY_LOCAL_MACHINE\\") + QLatin1String(tree);
    while (!pending.isEmpty()) {
        const QString key = pending.takeLast();
        if (store.hasValue(key, QStringLiteral("Name")))
            names.insert(store.value(key, QStringLiteral("Name")).toCaseFolded());
        for (const QString& child : store.childKeys(key))
            pending << key + QLatin1Char('\\') + child;
    }
    return names;
}
} // namespace

RegistryFileResult loadExportForDiscovery(const LocalPath& path)
{
    ExportSelection vendor;
    vendor.keepsKey = inVendorTree;
    RegistryFileResult result = loadRegistryExport(path, vendor);
    if (!result.store)
        return result;
    const QSet<QString> names = patchNames(*result.store);
    if (names.isEmpty())
        return result;

    const QString uninstall = QString::fromLatin1(uninstallKey).section(QLatin1Char('\\'), 1);
    ExportSelection installedSoftware;
    installedSoftware.keepsKey = [&uninstall](QStringView keyPath) {
        const QStringView below = belowMachine(keyPath);
        return isUnder(below, uninstall) && below.size() > uninstall.size() &&
               !below.mid(uninstall.size() + 1).contains(QLatin1Char('\\'));
    };
    installedSoftware.keepsName = [](const QString& name) {
        return name.compare(QLatin1String("DisplayName"), Qt::CaseInsensitive) == 0;
    };
    installedSoftware.keepsValue = [&names, &installedSoftware](const QString&, const QString& name,
                                                                const QString& text) {
        return installedSoftware.keepsName(name) && names.contains(text.toCaseFolded());
    };
    installedSoftware.checkedAlready = true;
    RegistryFileResult software = loadRegistryExport(path, installedSoftware);
    if (!software.store)
        return software; // the file changed between the two readings
    result.store->takeKeysOf(*software.store);
    return result;
}
