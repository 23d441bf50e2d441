#pragma once

#include "installedpatch.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

class IQuorixProduct;
class RegistryStore;

// Lists the patches registered for one installed product.
class IPatchFinder
{
public:
    virtual ~IPatchFinder() = default;
    virtual QList<InstalledPatch> findPatches(IQuorixProduct* product) = 0;
};

class PatchFinderWindows : public IPatchFinder
{
public:
    explicit PatchFinderWindows(const RegistryStore& registry) : store(registry) {}
    QList<InstalledPatch> findPatches(IQuorixProduct* product) override;

private:
    InstalledPatch readEntry(const QString& key) const;

    const RegistryStore& store;
    QList<InstalledPatch> foundPatches;
    IQuorixProduct* product = nullptr;
};

// The text folded for a comparison that ignores case (QString::toCaseFolded()),
// quicker for the ASCII of most names.
QString foldedCase(const QString& text);

// Display names of the Windows list of installed software, folded for a
// case-insensitive look-up, each mapped to the last subkey (in enumeration
// order) that carries it. Built on first use and kept for one discovery:
// discoverInstalledSoftware() clears it before and after, since a machine with many
// patches would otherwise scan the whole list once per patch.
class UninstallIndex
{
public:
    explicit UninstallIndex(const RegistryStore& store);

    std::optional<QString> lastSubkeyWithDisplayName(const QString& displayName) const;

    static const UninstallIndex& of(const RegistryStore& store);
    static void clearCache();

private:
    QHash<QString, QString> subkeyByFoldedName;
};

extern const char* const uninstallKey;
