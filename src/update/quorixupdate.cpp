#include "quorixupdate.h"

#include "app/common.h"
#include "app/logger.h"
#include "availability.h"
#include "patchlist.h"
#include "products/quorixconfig.h"
#include "updaterequest.h"

QuorixUpdate::QuorixUpdate(const QString& url, QObject* parent) : QObject(parent)
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
        if (common->status != StatusCode::NoError || ok)
            break;
    }
    if (!ok) {
        log->log(LogLevel::Error,
                 tr("Unable to connect to the sky vane server.  Try again later."));
        common->status = StatusCode::NetworkError;
    }
    data = request.receivedBytes();
    if (!data.isEmpty())
        parsePatchList();
}

void QuorixUpdate::parsePatchList()
{
    const QStringList installed = QuorixConfig::instance()->installedVersions();
    masterList = parsePatchListLatin1(data, &installed);
}

QList<PublishedPatch> QuorixUpdate::availablePatches() const
{
    QuorixConfig* config = QuorixConfig::instance();
    return computeAvailablePatches(masterList, config->installedVersions(),
                                   config->installedProducts(), config->installedPatches());
}
