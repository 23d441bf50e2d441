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

class UninstallLookup;

class PatchFinderWindows : public IPatchFinder
{
public:
    PatchFinderWindows(const RegistryStore& registry, UninstallLookup& uninstall)
        : store(registry), uninstallList(uninstall)
    {
    }
    QList<InstalledPatch> findPatches(IQuorixProduct* product) override;

private:
    InstalledPatch readEntry(const QString& key) const;

    const RegistryStore& store;
    UninstallLookup& uninstallList;
    QList<InstalledPatch> foundPatches;
    IQuorixProduct* product = nullptr;
};

// The text folded for a comparison that ignores case (QString::toCaseFolded()),
// quicker for the ASCII of most names.
QString foldedCase(const QString& text);

// Display names of the Windows list of installed software, folded for a
// case-insensitive look-up, each mapped to the last subkey (in enumeration
// order) that carries it.
class UninstallIndex
{
public:
    explicit UninstallIndex(const RegistryStore& store);

    std::optional<QString> lastSubkeyWithDisplayName(const QString& displayName) const;

private:
    QHash<QString, QString> subkeyByFoldedName;
};

// The index of one store, built on its first look-up and owned by the
// discovery that reads that store: a machine with many patches would
// otherwise scan the whole list once per patch. It lives no longer than the
// discovery, so it can never outlive its store, and a fleet's workers share
// nothing.
class UninstallLookup
{
public:
    explicit UninstallLookup(const RegistryStore& registry) : store(registry) {}
    UninstallLookup(const UninstallLookup&) = delete;
    UninstallLookup& operator=(const UninstallLookup&) = delete;

    std::optional<QString> lastSubkeyWithDisplayName(const QString& displayName);

private:
    const RegistryStore& store;
    std::optional<UninstallIndex> index;
};

extern const char* const uninstallKey;
