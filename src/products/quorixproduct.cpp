#include "quorixproduct.h"

#include "configreader.h"
#include "keyscans.h"
#include "patchfinder.h"

#include <memory>

namespace QuorixProducts {

QString QuorixProduct::name() const
{
    return productName.isEmpty() ? displayName() : productName;
}

QString QuorixProduct::displayName() const
{
    QString text = displayTemplate;
    return text.replace(QLatin1String("<VER>"), productVersion);
}

QuorixProduct::QuorixProduct(const ProductRow& row, const RegistryStore& store,
                             UninstallLookup& uninstallList)
{
    discover(row, store, uninstallList);
}

void QuorixProduct::discover(const ProductRow& row, const RegistryStore& store,
                             UninstallLookup& uninstallList)
{
    productType = row.type;
    productAliases = row.aliases;
    displayTemplate = row.displayTemplate;
    if (row.presetVersionFromTaskwellRoot)
        productVersion = taskwellRootVersion(store);
    key = row.findRegistryKey(store);
    logFile = row.patchLogFile;
    updates = key + QStringLiteral("\\Updates");

    {
        std::unique_ptr<IConfigReader> reader = std::make_unique<ConfigReaderWindows>(store);
        reader->readConfig(this);
    }

    if (productVersion.isEmpty()) {
        if (row.versionFallback == ProductRow::VersionFallback::FromKeyText)
            productVersion = versionFromText(key);
        else if (row.versionFallback == ProductRow::VersionFallback::FromParentKey)
            productVersion = parentKeyVersion(store, key);
    }

    if (installed) {
        std::unique_ptr<IPatchFinder> finder =
            std::make_unique<PatchFinderWindows>(store, uninstallList);
        patches = finder->findPatches(this);
    }
}

} // namespace QuorixProducts
