#include "quorixconfig.h"

#include "patchfinder.h"
#include "quorixproducts.h"
#include "registry/registryviews.h"

InstalledSoftware discoverInstalledSoftware(const RegistryStore& registry)
{
    // A product in the 64-bit view, else in the 32-bit one that 32-bit
    // installers write to; the Uninstall list of both.
    const ThirtyTwoBitViewStore thirtyTwoBit(registry);
    const BothViewsStore bothViews(registry);
    InstalledSoftware software;
    UninstallLookup uninstallList(bothViews);
    for (int number = 0; number <= productCount; ++number) {
        std::unique_ptr<IQuorixProduct> product(createProduct(number, registry, uninstallList));
        if (product && !product->isInstalled())
            product.reset(createProduct(number, thirtyTwoBit, uninstallList));
        if (!product || !product->isInstalled())
            continue;
        software.products.append(product.get());
        software.patches.append(product->installedPatches());
        if (!software.versions.contains(product->version()))
            software.versions.append(product->version());
        software.owned.push_back(std::move(product));
    }
    return software;
}
