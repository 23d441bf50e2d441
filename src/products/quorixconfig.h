#pragma once

#include "installedpatch.h"

#include "iquorixproduct.h"

#include <QList>
#include <QStringList>

#include <memory>
#include <vector>

// The installed products of one machine, their versions and their patches.
class RegistryStore;

struct InstalledSoftware
{
    QList<IQuorixProduct*> products; // in the order of the product table
    QStringList versions;            // each once, in the order found
    QList<InstalledPatch> patches;   // product after product
    std::vector<std::unique_ptr<IQuorixProduct>> owned;
};

// Discovers the products in a registry store; start-up does it once for the
// machine a run checks, a fleet once per machine.
InstalledSoftware discoverInstalledSoftware(const RegistryStore& store);
