#include "availability.h"

#include "app/logger.h"
#include "products/iquorixproduct.h"

#include <QSet>

#include <algorithm>

bool productMatchesPatch(const IQuorixProduct* product, const PublishedPatch& patch)
{
    const QStringList aliases = product->aliases();
    return std::any_of(aliases.begin(), aliases.end(), [&patch](const QString& alias) {
        return patch.Products.contains(alias, Qt::CaseInsensitive);
    });
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

bool shareAnId(const QStringList& a, const QStringList& b)
{
    return std::any_of(a.begin(), a.end(), [&b](const QString& id) { return b.contains(id); });
}

// An installed patch record with its identifier list split once.
struct InstalledRecord
{
    InstalledPatch patch;
    QStringList ids;
};

std::optional<InstalledPatch> firstInstalledMatch(const PublishedPatch& published,
                                                  const QList<InstalledRecord>& installed)
{
    const QStringList publishedIds = idParts(published.QFE_ID);
    for (const InstalledRecord& record : installed) {
        if (published.Name.compare(record.patch.name, Qt::CaseInsensitive) == 0 ||
            published.QFE_ID.contains(record.patch.idSuffix) || shareAnId(publishedIds, record.ids))
            return record.patch;
    }
    return std::nullopt;
}
} // namespace

bool idListsIntersect(const QString& a, const QString& b)
{
    return shareAnId(idParts(a), idParts(b));
}

bool appliesToProductOfVersion(const PublishedPatch& patch, const QString& version,
                               const QList<IQuorixProduct*>& installedProducts)
{
    for (const IQuorixProduct* product : installedProducts) {
        if (product->version() == version && productMatchesPatch(product, patch))
            return true;
    }
    return false;
}

QList<PublishedPatch> computeAvailablePatches(const QList<VersionPatches>& masterList,
                                              const QStringList& installedVersions,
                                              const QList<IQuorixProduct*>& installedProducts,
                                              const QList<InstalledPatch>& installedPatches)
{
    Logger* log = Logger::instance();
    QList<InstalledRecord> installed;
    for (const InstalledPatch& patch : installedPatches)
        installed.append({patch, idParts(patch.qfeId)});
    QList<PublishedPatch> result;
    QSet<PublishedPatch> listed;
    for (const VersionPatches& entry : masterList) {
        if (!installedVersions.contains(entry.version))
            continue;
        for (const PublishedPatch& patch : entry.patches) {
            if (const auto record = firstInstalledMatch(patch, installed)) {
                log->log(LogLevel::Debug,
                         QStringLiteral("Skipping installed patch: %1").arg(record->name));
                continue;
            }
            if (!appliesToProductOfVersion(patch, entry.version, installedProducts))
                continue;
            if (listed.contains(patch))
                continue;
            log->log(LogLevel::Info, QStringLiteral("Adding available patch: %1").arg(patch.Name));
            listed.insert(patch);
            result.append(patch);
        }
    }
    return result;
}
