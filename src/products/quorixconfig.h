#pragma once

#include "installedpatch.h"

#include "iquorixproduct.h"

#include <QList>
#include <QStringList>

#include <memory>
#include <vector>

// The installed products of one machine, their versions and their patches.
struct InstalledSoftware
{
    QList<IQuorixProduct*> products; // in the order of the product table
    QStringList versions;            // each once, in the order found
    QList<InstalledPatch> patches;   // product after product
    std::vector<std::unique_ptr<IQuorixProduct>> owned;
};

// Discovers the products in the registry that this thread reads.
InstalledSoftware discoverInstalledSoftware();

// Discovers the installed products once per run and keeps the result.
class QuorixConfig
{
public:
    static QuorixConfig* instance();

    void init();
    QList<IQuorixProduct*> installedProducts() const;
    QStringList installedVersions() const;
    QList<InstalledPatch> installedPatches() const;
    const InstalledSoftware& installedSoftware() const { return software; }

    // Forgets the discovery so a test can run it again on another registry.
    void resetForTesting();

private:
    QuorixConfig() = default;
    void warnIfNotInitialized(const char* accessor) const;

    bool initialized = false;
    InstalledSoftware software;
};
