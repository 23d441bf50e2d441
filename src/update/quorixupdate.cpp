#include "quorixupdate.h"

#include "app/common.h"
#include "app/logger.h"
#include "availability.h"
#include "patchlist.h"
#include "products/quorixconfig.h"
#include "updaterequest.h"

QuorixUpdate::QuorixUpdate(const QString& url, QObject* parent)
    : QuorixUpdate(url, QuorixConfig::instance()->installedVersions())
{
    setParent(parent);
}

QuorixUpdate::QuorixUpdate(const QString& url, const std::optional<QStringList>& wantedVersions)
{
    Common* common = Common::instance();
    if (common->status == StatusCode::NetworkError)
        return;

    Logger* log = Logger::instance();
    UpdateRequest request(url);
    bool ok = false;
    for (int attempt = 1; attempt <= maxAttempts; ++attempt) {
        log->log(LogLevel::Info, tr("Connect attempt %1 to %2").arg(QString::number(attempt), url));
        ok = request.fetch();
        if (common->status != StatusCode::NoError || ok || UpdateRequest::runAborted())
            break;
    }
    if (UpdateRequest::runAborted())
        return;
    if (!ok) {
        log->log(LogLevel::Error,
                 tr("Unable to connect to the sky vane server.  Try again later."));
        common->status = StatusCode::NetworkError;
    }
    data = request.receivedBytes();
    if (request.refusedAsTooLarge())
        state = ListState::TooLarge;
    else if (!data.isEmpty())
        parsePatchList(url, common->status == StatusCode::NoError, wantedVersions);
}

void QuorixUpdate::parsePatchList(const QString& url, bool retrieved,
                                  const std::optional<QStringList>& wantedVersions)
{
    bool valid = false;
    masterList = parsePatchListLatin1(data, wantedVersions ? &*wantedVersions : nullptr, &valid);
    if (!retrieved)
        return;
    state = valid ? ListState::Ok : ListState::Invalid;
    if (!valid)
        Logger::instance()->log(
            LogLevel::Warning,
            QStringLiteral(
                "The list received from %1 is no patch list (not JSON with a \"Product\" "
                "array)")
                .arg(url));
}

QList<PublishedPatch> QuorixUpdate::availablePatches() const
{
    return availablePatchesFor(QuorixConfig::instance()->installedSoftware());
}

QList<PublishedPatch> QuorixUpdate::availablePatchesFor(const InstalledSoftware& software) const
{
    return computeAvailablePatches(masterList, software.versions, software.products,
                                   software.patches);
}
