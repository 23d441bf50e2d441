#include "quorixconfig.h"

#include "patchfinder.h"
#include "quorixproducts.h"

InstalledSoftware discoverInstalledSoftware(const RegistryStore& store)
{
    InstalledSoftware software;
    UninstallLookup uninstallList(store);
    for (int number = 0; number <= productCount; ++number) {
        std::unique_ptr<IQuorixProduct> product(createProduct(number, store, uninstallList));
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
