#include "availability.h"

#include "core/logger.h"
#include "products/iquorixproduct.h"
#include "products/patchfinder.h"

#include <QSet>

#include <algorithm>

bool productMatchesPatch(const IQuorixProduct* product, const PublishedPatch& patch)
{
    const QStringList aliases = product->aliases();
    return std::any_of(aliases.begin(), aliases.end(), [&patch](const QString& alias) {
        return patch.Products.contains(alias, Qt::CaseInsensitive);
    });
}

const QList<IQuorixProduct*>& ProductsOfPatch::of(const PublishedPatch& patch)
{
    auto it = known.constFind(patch.Products);
    if (it == known.constEnd()) {
        QList<IQuorixProduct*> named;
        for (IQuorixProduct* product : products) {
            if (productMatchesPatch(product, patch))
                named.append(product);
        }
        it = known.insert(patch.Products, named);
    }
    return *it;
}

namespace {
// The trimmed identifiers of a comma-separated list; none for an empty list.
QStringList idParts(const QString& list)
{
    QStringList parts;
    if (list.isEmpty())
        return parts;
    const auto pieces = QStringView(list).split(QLatin1Char(','));
    for (const QStringView piece : pieces)
        parts.append(piece.trimmed().toString());
    return parts;
}

// The installed patch records, with what each of the three tests compares a
// published patch against gathered once: most published patches match no
// record, and that is then known without trying every record.
class InstalledPatches
{
public:
    explicit InstalledPatches(const QList<InstalledPatch>& installed) : records(installed)
    {
        for (const InstalledPatch& record : installed) {
            foldedNames.insert(foldedCase(record.name));
            suffixes.insert(record.idSuffix);
            for (const QString& id : idParts(record.qfeId))
                ids.insert(id);
        }
    }

    // The first record that the patch matches: by name (ignoring case), by the
    // record's identifier suffix occurring in its QFE_ID, or by a shared identifier.
    std::optional<InstalledPatch> firstMatch(const PublishedPatch& patch) const
    {
        const QStringList patchIds = idParts(patch.QFE_ID);
        const auto shared = [&patchIds](const QString& id) { return patchIds.contains(id); };
        const bool any = foldedNames.contains(foldedCase(patch.Name)) ||
                         std::any_of(suffixes.begin(), suffixes.end(),
                                     [&patch](const QString& suffix) {
                                         return patch.QFE_ID.contains(suffix);
                                     }) ||
                         std::any_of(patchIds.begin(), patchIds.end(),
                                     [this](const QString& id) { return ids.contains(id); });
        if (!any)
            return std::nullopt;
        for (const InstalledPatch& record : records) {
            const QStringList recordIds = idParts(record.qfeId);
            if (patch.Name.compare(record.name, Qt::CaseInsensitive) == 0 ||
                patch.QFE_ID.contains(record.idSuffix) ||
                std::any_of(recordIds.begin(), recordIds.end(), shared))
                return record;
        }
        return std::nullopt;
    }

private:
    QList<InstalledPatch> records;
    QSet<QString> foldedNames;
    QSet<QString> suffixes;
    QSet<QString> ids;
};
} // namespace

QList<PublishedPatch> computeAvailablePatches(const QList<VersionPatches>& masterList,
                                              const QStringList& installedVersions,
                                              const QList<IQuorixProduct*>& installedProducts,
                                              const QList<InstalledPatch>& installedPatches)
{
    const InstalledPatches installed(installedPatches);
    ProductsOfPatch named(installedProducts);
    QList<PublishedPatch> result;
    QSet<PublishedPatch> listed;
    for (const VersionPatches& entry : masterList) {
        if (!installedVersions.contains(entry.version))
            continue;
        for (const PublishedPatch& patch : entry.patches) {
            if (const auto record = installed.firstMatch(patch)) {
                qCDebug(lcUpdate).noquote()
                    << QStringLiteral("Skipping installed patch: %1").arg(record->name);
                continue;
            }
            const QList<IQuorixProduct*>& products = named.of(patch);
            if (std::none_of(products.begin(), products.end(), [&entry](const auto* product) {
                    return product->version() == entry.version;
                }))
                continue;
            if (listed.contains(patch))
                continue;
            qCInfo(lcUpdate).noquote()
                << QStringLiteral("Adding available patch: %1").arg(patch.Name);
            listed.insert(patch);
            result.append(patch);
        }
    }
    return result;
}
