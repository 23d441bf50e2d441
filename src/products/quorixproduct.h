#pragma once

#include "iquorixproduct.h"

#include <functional>

class RegistryStore;
class UninstallLookup;

namespace QuorixProducts {

// The fixed facts of one row of the product table.
struct ProductRow
{
    enum class VersionFallback
    {
        None,
        FromKeyText,
        FromParentKey
    };

    int type = 0;
    QStringList aliases;
    QString displayTemplate;
    std::function<QString(const RegistryStore&)> findRegistryKey;
    QString patchLogFile;
    VersionFallback versionFallback = VersionFallback::None;
    bool presetVersionFromTaskwellRoot = false;
};

class QuorixProduct : public IQuorixProduct
{
public:
    QString name() const override;
    QString displayName() const override;
    int type() const override { return productType; }
    bool isInstalled() const override { return installed; }
    QString version() const override { return productVersion; }
    QString installDir() const override { return productInstallDir; }
    QStringList aliases() const override { return productAliases; }
    QList<InstalledPatch> installedPatches() const override { return patches; }
    QString registryKey() const override { return key; }
    QString updatesKey() const override { return updates; }
    QString patchLogFile() const override { return logFile; }
    void setName(const QString& name) override { productName = name; }
    void setInstalled(const bool& value) override { installed = value; }
    void setInstallDir(const QString& dir) override { productInstallDir = dir; }
    void setVersion(const QString& version) override { productVersion = version; }

    // The product that a row of the table describes, discovered on this machine.
    QuorixProduct(const ProductRow& row, const RegistryStore& store,
                  UninstallLookup& uninstallList);

private:
    void discover(const ProductRow& row, const RegistryStore& store,
                  UninstallLookup& uninstallList);

private:
    int productType = 0;
    bool installed = false;
    QString productName;
    QString displayTemplate;
    QString key;
    QString updates;
    QString logFile;
    QString productVersion;
    QString productInstallDir;
    QStringList productAliases;
    QList<InstalledPatch> patches;
};

} // namespace QuorixProducts
