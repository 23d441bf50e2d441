#pragma once

#include "installedpatch.h"

#include <QList>
#include <QStringList>

class IQuorixProduct;

// Discovers the installed products once per run and keeps the result.
class QuorixConfig
{
public:
    static QuorixConfig* instance();

    void init();
    QList<IQuorixProduct*> installedProducts() const;
    QStringList installedVersions() const;
    QList<InstalledPatch> installedPatches() const;

    // Forgets the discovery so a test can run it again on another registry.
    void resetForTesting();

private:
    QuorixConfig() = default;
    void warnIfNotInitialized(const char* accessor) const;

    bool initialized = false;
    QStringList versions;
    QList<InstalledPatch> patches;
    QList<IQuorixProduct*> products;
};
