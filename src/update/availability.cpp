#include "availability.h"

#include "app/logger.h"
#include "products/iquorixproduct.h"

#include <algorithm>

bool productMatchesPatch(const IQuorixProduct* product, const PublishedPatch& patch)
{
    const QStringList aliases = product->aliases();
    return std::any_of(aliases.begin(), aliases.end(), [&patch](const QString& alias) {
        return patch.Products.contains(alias, Qt::CaseInsensitive);
    });
}

bool idListsIntersect(const QString& a, const QString& b)
{
    const QStringList partsA = a.split(QLatin1Char(','), Qt::KeepEmptyParts);
    const QStringList partsB = b.split(QLatin1Char(','), Qt::KeepEmptyParts);
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (partsA == partsB)
        return true;
    for (const QString& partA : partsA) {
        const QString trimmedA = partA.trimmed();
        for (const QString& partB : partsB) {
            if (trimmedA == partB.trimmed())
                return true;
        }
    }
    return false;
}

InstalledPatchMatcher::InstalledPatchMatcher(const QList<InstalledPatch>& installed)
    : records(installed)
{
    for (const InstalledPatch& record : installed) {
        foldedNames.insert(record.name.toCaseFolded());
        if (record.idSuffix.isEmpty())
            anyEmptySuffix = true;
        else if (!suffixes.contains(record.idSuffix)) {
            suffixes.insert(record.idSuffix);
            if (!suffixLengths.contains(int(record.idSuffix.size())))
                suffixLengths.append(int(record.idSuffix.size()));
        }
        if (!record.qfeId.isEmpty()) {
            const QStringList parts = record.qfeId.split(QLatin1Char(','), Qt::KeepEmptyParts);
            for (const QString& part : parts)
                trimmedIds.insert(part.trimmed());
        }
    }
}

bool InstalledPatchMatcher::matches(const PublishedPatch& patch, const InstalledPatch& record)
{
    return patch.Name.compare(record.name, Qt::CaseInsensitive) == 0 ||
           patch.QFE_ID.contains(record.idSuffix) || idListsIntersect(patch.QFE_ID, record.qfeId);
}

// A quick answer to "does any record match?" from the indexes; equivalent to
// trying matches() against every record.
bool InstalledPatchMatcher::matchesAny(const PublishedPatch& patch) const
{
    if (records.isEmpty())
        return false;
    if (anyEmptySuffix || foldedNames.contains(patch.Name.toCaseFolded()))
        return true;
    const QString& id = patch.QFE_ID;
    for (const int length : suffixLengths) {
        for (qsizetype start = 0; start + length <= id.size(); ++start) {
            if (suffixes.contains(id.mid(start, length)))
                return true;
        }
    }
    if (!id.isEmpty()) {
        const QStringList parts = id.split(QLatin1Char(','), Qt::KeepEmptyParts);
        for (const QString& part : parts) {
            if (trimmedIds.contains(part.trimmed()))
                return true;
        }
    }
    return false;
}

std::optional<InstalledPatch> InstalledPatchMatcher::firstMatch(const PublishedPatch& patch) const
{
    if (!matchesAny(patch))
        return std::nullopt;
    for (const InstalledPatch& record : records) {
        if (matches(patch, record))
            return record;
    }
    return std::nullopt;
}

bool InstalledPatchMatcher::isInstalled(const PublishedPatch& patch) const
{
    const std::optional<InstalledPatch> record = firstMatch(patch);
    if (record)
        Logger::instance()->log(LogLevel::Debug,
                                QStringLiteral("Skipping installed patch: %1").arg(record->name));
    return record.has_value();
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
    const InstalledPatchMatcher matcher(installedPatches);
    QList<PublishedPatch> result;
    QSet<PublishedPatch> listed;
    for (const VersionPatches& entry : masterList) {
        if (!installedVersions.contains(entry.version))
            continue;
        for (const PublishedPatch& patch : entry.patches) {
            if (matcher.isInstalled(patch))
                continue;
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
