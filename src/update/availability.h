#pragma once

#include "products/installedpatch.h"
#include "publishedpatch.h"

#include <QList>
#include <QStringList>

class IQuorixProduct;

// True when some alias of the product occurs in the patch's "Products" text (ignoring case).
bool productMatchesPatch(const IQuorixProduct* product, const PublishedPatch& patch);

// The published patches for the installed versions that name an installed
// product of that version and are not installed yet; each distinct record
// once, in master-list order. A patch counts as installed when it matches an
// installed patch record by name (ignoring case), by the record's identifier
// suffix occurring in its QFE_ID, or by sharing an identifier with the record.
QList<PublishedPatch> computeAvailablePatches(const QList<VersionPatches>& masterList,
                                              const QStringList& installedVersions,
                                              const QList<IQuorixProduct*>& installedProducts,
                                              const QList<InstalledPatch>& installedPatches);

bool appliesToProductOfVersion(const PublishedPatch& patch, const QString& version,
                               const QList<IQuorixProduct*>& installedProducts);
