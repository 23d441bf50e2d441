#include "quorixconfig.h"

#include "app/logger.h"
#include "patchfinder.h"
#include "quorixproducts.h"

QuorixConfig* QuorixConfig::instance()
{
    static QuorixConfig* const config = new QuorixConfig;
    return config;
}

void QuorixConfig::init()
{
    if (initialized)
        return;
    UninstallIndex::clearCache();
    for (int number = 0; number <= productCount; ++number) {
        IQuorixProduct* product = createProduct(number);
        if (!product)
            continue;
        if (!product->isInstalled()) {
            delete product;
            continue;
        }
        products.append(product);
        patches.append(product->installedPatches());
        if (!versions.contains(product->version()))
            versions.append(product->version());
    }
    UninstallIndex::clearCache();
    initialized = true;
}

void QuorixConfig::resetForTesting()
{
    UninstallIndex::clearCache();
    qDeleteAll(products);
    products.clear();
    patches.clear();
    versions.clear();
    initialized = false;
}

void QuorixConfig::warnIfNotInitialized(const char* accessor) const
{
    if (!initialized)
        Logger::instance()->log(
            LogLevel::Fatal,
            QStringLiteral("You need to call QuorixConfig::instance()->init() before calling %1()")
                .arg(QLatin1String(accessor)));
}

QList<IQuorixProduct*> QuorixConfig::installedProducts() const
{
    warnIfNotInitialized("installedProducts");
    return products;
}

QStringList QuorixConfig::installedVersions() const
{
    warnIfNotInitialized("installedVersions");
    return versions;
}

QList<InstalledPatch> QuorixConfig::installedPatches() const
{
    warnIfNotInitialized("installedPatches");
    return patches;
}
