#pragma once

#include "products/installedpatch.h"
#include "publishedpatch.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <optional>

class IQuorixProduct;

// True when some alias of the product occurs in the patch's "Products" text (ignoring case).
bool productMatchesPatch(const IQuorixProduct* product, const PublishedPatch& patch);

// Whether two comma-separated identifier lists share an identifier.
bool idListsIntersect(const QString& a, const QString& b);

// Finds the first installed patch record that a published patch matches: by
// name (ignoring case), by the record's identifier suffix occurring in the
// patch's QFE_ID, or by intersecting identifier lists. Indexes the records
// once, so that checking a long patch list stays linear.
class InstalledPatchMatcher
{
public:
    explicit InstalledPatchMatcher(const QList<InstalledPatch>& installed);

    std::optional<InstalledPatch> firstMatch(const PublishedPatch& patch) const;
    // firstMatch() as a yes or no, logging the installed patch it found.
    bool isInstalled(const PublishedPatch& patch) const;

private:
    bool matchesAny(const PublishedPatch& patch) const;
    static bool matches(const PublishedPatch& patch, const InstalledPatch& record);

    QList<InstalledPatch> records;
    QSet<QString> foldedNames;
    QSet<QString> suffixes;
    QList<int> suffixLengths;
    bool anyEmptySuffix = false;
    QSet<QString> trimmedIds;
};

// The published patches for the installed versions that name an installed
// product of that version and are not installed yet; each distinct record
// once, in master-list order.
QList<PublishedPatch> computeAvailablePatches(const QList<VersionPatches>& masterList,
                                              const QStringList& installedVersions,
                                              const QList<IQuorixProduct*>& installedProducts,
                                              const QList<InstalledPatch>& installedPatches);

bool appliesToProductOfVersion(const PublishedPatch& patch, const QString& version,
                               const QList<IQuorixProduct*>& installedProducts);
