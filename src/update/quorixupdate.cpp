#include "quorixupdate.h"

#include "availability.h"
#include "core/logger.h"
#include "listcache.h"
#include "patchlist.h"
#include "products/quorixconfig.h"
#include "updaterequest.h"

#include <QDeadlineTimer>
#include <QUrl>

namespace {
// Whether too little of the retrieval's time is left for another attempt.
bool spent(const QDeadlineTimer& deadline)
{
    constexpr qint64 shortestAttemptMs = 100;
    return !deadline.isForever() && deadline.remainingTime() < shortestAttemptMs;
}
} // namespace

bool isWebAddress(const QString& url)
{
    const QString scheme = QUrl(url).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QuorixUpdate::QuorixUpdate(const QString& url, int budget) : listUrl(url), budgetSeconds(budget) {}

namespace {
std::optional<CachedList> keptList(const ListCache& cache, const QString& url)
{
    Result<CachedList, CacheMiss> kept = cache.read(url);
    if (kept.ok())
        return std::move(kept).value();
    if (kept.error().damaged)
        qCWarning(lcUpdate).noquote() << kept.errorString();
    return std::nullopt;
}
} // namespace

QuorixUpdate QuorixUpdate::retrieve(const QString& url, RetrievalHost& host,
                                    const std::optional<QStringList>& wantedVersions, int budget,
                                    const ListCacheUse* cache)
{
    QuorixUpdate update(url, budget);
    const QStringList* versions = wantedVersions ? &*wantedVersions : nullptr;
    if (!cache || !isWebAddress(url)) {
        (void)update.fetch(host, versions, nullptr);
        return update;
    }
    const ListCache keeper(cache->folder, host.maxListBytes());
    const std::optional<CachedList> kept = keptList(keeper, url);
    std::optional<CachedList> fetched = update.fetch(host, versions, kept ? &*kept : nullptr);
    if (fetched) {
        fetched->confirmed = cache->now.toUTC();
        if (const Result<void> stored = keeper.store(url, *fetched); !stored.ok())
            qCWarning(lcUpdate).noquote() << stored.errorString();
    } else if (kept && !host.aborted()) {
        update.standIn(*kept, *cache, versions);
    }
    return update;
}

// A copy kept from an earlier run stands in for the list the server did not
// give, when it is young enough.
void QuorixUpdate::standIn(const CachedList& kept, const ListCacheUse& cache,
                           const QStringList* versions)
{
    const qint64 age = kept.ageSeconds(cache.now);
    const QString hours = QString::number(age / 3600);
    if (cache.fallbackSeconds <= 0 || age > cache.fallbackSeconds) {
        qCInfo(lcUpdate).noquote()
            << QStringLiteral("The list kept for %1 is %2 hours old, too old to stand in.")
                   .arg(listUrl, hours);
        return;
    }
    Result<QList<VersionPatches>> parsed = parsePatchListBytes(kept.body, versions);
    if (!parsed.ok())
        return;
    qCWarning(lcUpdate).noquote() << QStringLiteral(
                                         "The list kept %1 hours ago stands in for the list of %2.")
                                         .arg(hours, listUrl);
    serverProblem = problem();
    list = std::move(parsed).value();
    receivedBytes = kept.body.size();
    keptCopyAgeSeconds = age;
}

std::optional<CachedList> QuorixUpdate::fetch(RetrievalHost& host, const QStringList* versions,
                                              const CachedList* kept)
{
    const QString& url = listUrl;
    if (!host.retrievalAllowed())
        return std::nullopt;

    UpdateRequest request(url, host);
    if (kept)
        request.askIfChangedSince(kept->entityTag, kept->lastModified);
    const QDeadlineTimer deadline = budgetSeconds > 0 ? QDeadlineTimer(qint64(budgetSeconds) * 1000)
                                                      : QDeadlineTimer(QDeadlineTimer::Forever);
    Result<void> fetched = failure(QString());
    int silentAttempts = 0;
    for (int attempt = 1; attempt <= maxAttempts; ++attempt) {
        qCInfo(lcUpdate).noquote()
            << tr("Connect attempt %1 to %2").arg(QString::number(attempt), url);
        host.attemptStarted(attempt, maxAttempts, url);
        fetched = request.fetch(deadline);
        silentAttempts += request.attemptTimedOut() ? 1 : 0;
        if (!fetched.ok() && !host.aborted())
            host.attemptFailed(attempt, maxAttempts, fetched.errorString());
        if (fetched.ok() || request.failedForGood() || host.aborted() || spent(deadline))
            break;
    }
    if (host.aborted())
        return std::nullopt;
    QString problem = fetched.errorString();
    if (!fetched.ok() && spent(deadline) && !request.failedForGood()) {
        timedOut = true;
        const QString message =
            tr("An error occurred: no patch list from %1 within the time budget of %2 s.")
                .arg(url, QString::number(budgetSeconds));
        host.failed(tr("Network Error"), message);
        problem = tr("no answer within %1 s").arg(QString::number(budgetSeconds));
    }
    if (!fetched.ok()) {
        qCCritical(lcUpdate).noquote()
            << tr("Unable to connect to the sky vane server.  Try again later.");
        host.gaveUp();
    }
    const bool unchanged = fetched.ok() && kept && request.answeredUnchanged();
    const QByteArray data = unchanged ? kept->body : request.receivedBytes();
    receivedBytes = data.size();
    if (request.refusedAsTooLarge()) {
        list = failure(ListProblem{ListState::TooLarge, problem, {}});
        return std::nullopt;
    }
    if (!fetched.ok()) {
        QString heading = request.failureHeading();
        if (silentAttempts == maxAttempts)
            heading =
                tr("No answer in %1 attempts of %2 s.")
                    .arg(QString::number(maxAttempts), QString::number(host.timeoutMs() / 1000.0));
        list = failure(ListProblem{ListState::Unreachable, problem, heading});
        return std::nullopt;
    }
    Result<QList<VersionPatches>> parsed = parsePatchListBytes(data, versions);
    if (parsed.ok()) {
        list = std::move(parsed).value();
        if (unchanged)
            return CachedList{data, kept->entityTag, kept->lastModified, {}};
        return CachedList{data, request.receivedEntityTag(), request.receivedLastModified(), {}};
    }
    list = failure(ListProblem{ListState::Invalid, parsed.errorString(), {}});
    qCWarning(lcUpdate).noquote()
        << QStringLiteral("The list received from %1 is no patch list (not JSON with a \"Product\" "
                          "array)")
               .arg(url);
    return std::nullopt;
}

QList<PublishedPatch> QuorixUpdate::availablePatchesFor(const InstalledSoftware& software) const
{
    return computeAvailablePatches(masterPatchList(), software.versions, software.products,
                                   software.patches);
}
