#pragma once

#include "products/iquorixproduct.h"

// A product with the given facts, for tests that need installed products
// without a registry.
class FakeProduct : public IQuorixProduct
{
public:
    FakeProduct(const QString& version, const QStringList& aliases, const QString& name = QString(),
                const QList<InstalledPatch>& installed = {})
        : productVersion(version), productAliases(aliases), productName(name), patches(installed)
    {
    }

    QString name() const override { return productName; }
    QString displayName() const override { return productName; }
    int type() const override { return 0; }
    bool isInstalled() const override { return true; }
    QString version() const override { return productVersion; }
    QString installDir() const override { return QString(); }
    QStringList aliases() const override { return productAliases; }
    QList<InstalledPatch> installedPatches() const override { return patches; }
    QString registryKey() const override { return QString(); }
    QString updatesKey() const override { return QString(); }
    QString patchLogFile() const override { return QString(); }
    void setName(const QString& name) override { productName = name; }
    void setInstalled(const bool&) override {}
    void setInstallDir(const QString&) override {}
    void setVersion(const QString& version) override { productVersion = version; }

private:
    QString productVersion;
    QStringList productAliases;
    QString productName;
    QList<InstalledPatch> patches;
};
