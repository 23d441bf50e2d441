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

QuorixUpdate::QuorixUpdate(const QString& url, RetrievalHost& host,
                           const std::optional<QStringList>& wantedVersions, int budget)
    : listUrl(url), budgetSeconds(budget)
{
    if (!host.retrievalAllowed())
        return;

    UpdateRequest request(url, host);
    const QDeadlineTimer deadline = budgetSeconds > 0 ? QDeadlineTimer(qint64(budgetSeconds) * 1000)
                                                      : QDeadlineTimer(QDeadlineTimer::Forever);
    bool ok = false;
    for (int attempt = 1; attempt <= maxAttempts; ++attempt) {
        qCInfo(lcUpdate).noquote()
            << tr("Connect attempt %1 to %2").arg(QString::number(attempt), url);
        host.attemptStarted(attempt, maxAttempts, url);
        ok = request.fetch(deadline);
        if (!ok && !host.aborted())
            host.attemptFailed(attempt, maxAttempts, request.lastProblem());
        if (ok || request.failedForGood() || host.aborted() || spent(deadline))
            break;
    }
    if (host.aborted())
        return;
    if (!ok && spent(deadline) && !request.failedForGood()) {
        timedOut = true;
        const QString message =
            tr("An error occurred: no patch list from %1 within the time budget of %2 s.")
                .arg(url, QString::number(budgetSeconds));
        host.failed(tr("Network Error"), message);
    }
    if (!ok) {
        qCCritical(lcUpdate).noquote()
            << tr("Unable to connect to the sky vane server.  Try again later.");
        problemText = timedOut ? tr("no answer within %1 s").arg(QString::number(budgetSeconds))
                               : request.lastProblem();
        host.gaveUp();
    }
    data = request.receivedBytes();
    if (request.refusedAsTooLarge())
        state = ListState::TooLarge;
    else if (!data.isEmpty())
        parsePatchList(url, ok, wantedVersions);
}

void QuorixUpdate::parsePatchList(const QString& url, bool retrieved,
                                  const std::optional<QStringList>& wantedVersions)
{
    bool valid = false;
    masterList = parsePatchListBytes(data, wantedVersions ? &*wantedVersions : nullptr, &valid);
    if (!retrieved)
        return;
    state = valid ? ListState::Ok : ListState::Invalid;
    if (!valid) {
        problemText = tr("the answer is no patch list");
        qCWarning(lcUpdate).noquote()
            << QStringLiteral(
                   "The list received from %1 is no patch list (not JSON with a \"Product\" "
                   "array)")
                   .arg(url);
    }
}

QList<PublishedPatch> QuorixUpdate::availablePatchesFor(const InstalledSoftware& software) const
{
    return computeAvailablePatches(masterList, software.versions, software.products,
                                   software.patches);
}
