#include "quorixconfig.h"

#include "core/logger.h"
#include "patchfinder.h"
#include "quorixproducts.h"

QuorixConfig* QuorixConfig::instance()
{
    static QuorixConfig* const config = new QuorixConfig;
    return config;
}

InstalledSoftware discoverInstalledSoftware()
{
    InstalledSoftware software;
    UninstallIndex::clearCache();
    for (int number = 0; number <= productCount; ++number) {
        std::unique_ptr<IQuorixProduct> product(createProduct(number));
        if (!product || !product->isInstalled())
            continue;
        software.products.append(product.get());
        software.patches.append(product->installedPatches());
        if (!software.versions.contains(product->version()))
            software.versions.append(product->version());
        software.owned.push_back(std::move(product));
    }
    UninstallIndex::clearCache();
    return software;
}

void QuorixConfig::init()
{
    if (initialized)
        return;
    software = discoverInstalledSoftware();
    initialized = true;
}

void QuorixConfig::resetForTesting()
{
    software = InstalledSoftware();
    initialized = false;
}

void QuorixConfig::warnIfNotInitialized(const char* accessor) const
{
    if (!initialized)
        qCCritical(lcFatal).noquote()
            << QStringLiteral(
                   "You need to call QuorixConfig::instance()->init() before calling %1()")
                   .arg(QLatin1String(accessor));
}

QList<IQuorixProduct*> QuorixConfig::installedProducts() const
{
    warnIfNotInitialized("installedProducts");
    return software.products;
}

QStringList QuorixConfig::installedVersions() const
{
    warnIfNotInitialized("installedVersions");
    return software.versions;
}

QList<InstalledPatch> QuorixConfig::installedPatches() const
{
    warnIfNotInitialized("installedPatches");
    return software.patches;
}
