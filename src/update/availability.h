#pragma once

#include "products/installedpatch.h"
#include "patchset.h"

#include <QHash>
#include <QList>
#include <QStringList>

class IQuorixProduct;

// True when some alias of the product occurs in the patch's "Products" text (ignoring case).
bool productMatchesPatch(const IQuorixProduct* product, const PublishedPatch& patch);

// The products a patch names, among the given ones, worked out once per distinct
// "Products" text: a list repeats a handful of such texts over thousands of patches.
class ProductsOfPatch
{
public:
    explicit ProductsOfPatch(const QList<IQuorixProduct*>& installed) : products(installed) {}
    const QList<IQuorixProduct*>& of(const PublishedPatch& patch);

private:
    QList<IQuorixProduct*> products;
    QHash<QString, QList<IQuorixProduct*>> known;
};

// The published patches for the installed versions that name an installed
// product of that version and are not installed yet; each distinct record
// once, in master-list order. A patch counts as installed when it matches an
// installed patch record by name (ignoring case), by the record's identifier
// suffix occurring in its QFE_ID, or by sharing an identifier with the record.
QList<PublishedPatch> computeAvailablePatches(const QList<VersionPatches>& masterList,
                                              const QStringList& installedVersions,
                                              const QList<IQuorixProduct*>& installedProducts,
                                              const QList<InstalledPatch>& installedPatches);
