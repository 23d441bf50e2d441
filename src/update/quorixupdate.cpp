#include "quorixupdate.h"

#include "availability.h"
#include "core/logger.h"
#include "patchlist.h"
#include "products/quorixconfig.h"
#include "updaterequest.h"

#include <QDeadlineTimer>

namespace {
// Whether too little of the retrieval's time is left for another attempt.
bool spent(const QDeadlineTimer& deadline)
{
    constexpr qint64 shortestAttemptMs = 100;
    return !deadline.isForever() && deadline.remainingTime() < shortestAttemptMs;
}
} // namespace

QuorixUpdate::QuorixUpdate(const QString& url, int budget) : listUrl(url), budgetSeconds(budget) {}

QuorixUpdate QuorixUpdate::retrieve(const QString& url, RetrievalHost& host,
                                    const std::optional<QStringList>& wantedVersions, int budget)
{
    QuorixUpdate update(url, budget);
    if (!host.retrievalAllowed())
        return update;

    UpdateRequest request(url, host);
    const QDeadlineTimer deadline = budget > 0 ? QDeadlineTimer(qint64(budget) * 1000)
                                               : QDeadlineTimer(QDeadlineTimer::Forever);
    Result<void> fetched = failure(QString());
    for (int attempt = 1; attempt <= maxAttempts; ++attempt) {
        qCInfo(lcUpdate).noquote()
            << tr("Connect attempt %1 to %2").arg(QString::number(attempt), url);
        host.attemptStarted(attempt, maxAttempts, url);
        fetched = request.fetch(deadline);
        if (!fetched.ok() && !host.aborted())
            host.attemptFailed(attempt, maxAttempts, fetched.errorString());
        if (fetched.ok() || request.failedForGood() || host.aborted() || spent(deadline))
            break;
    }
    if (host.aborted())
        return update;
    QString problem = fetched.errorString();
    if (!fetched.ok() && spent(deadline) && !request.failedForGood()) {
        update.timedOut = true;
        const QString message =
            tr("An error occurred: no patch list from %1 within the time budget of %2 s.")
                .arg(url, QString::number(budget));
        host.failed(tr("Network Error"), message);
        problem = tr("no answer within %1 s").arg(QString::number(budget));
    }
    if (!fetched.ok()) {
        qCCritical(lcUpdate).noquote()
            << tr("Unable to connect to the sky vane server.  Try again later.");
        host.gaveUp();
    }
    const QByteArray data = request.receivedBytes();
    update.receivedBytes = data.size();
    if (request.refusedAsTooLarge()) {
        update.list = failure(ListProblem{ListState::TooLarge, problem});
        return update;
    }
    if (!fetched.ok()) {
        update.list = failure(ListProblem{ListState::Unreachable, problem});
        return update;
    }
    Result<QList<VersionPatches>> parsed =
        parsePatchListBytes(data, wantedVersions ? &*wantedVersions : nullptr);
    if (parsed.ok()) {
        update.list = std::move(parsed).value();
        return update;
    }
    update.list = failure(ListProblem{ListState::Invalid, parsed.errorString()});
    qCWarning(lcUpdate).noquote()
        << QStringLiteral("The list received from %1 is no patch list (not JSON with a \"Product\" "
                          "array)")
               .arg(url);
    return update;
}

QList<PublishedPatch> QuorixUpdate::availablePatchesFor(const InstalledSoftware& software) const
{
    return computeAvailablePatches(masterPatchList(), software.versions, software.products,
                                   software.patches);
}
