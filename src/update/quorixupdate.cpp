#include "quorixupdate.h"

#include "app/common.h"
#include "app/logger.h"
#include "availability.h"
#include "patchlist.h"
#include "products/quorixconfig.h"
#include "updaterequest.h"

#include <QtDebug>

QuorixUpdate::QuorixUpdate(const QString& url, QObject* parent)
    : QObject(parent), request(new UpdateRequest(url))
{
    Common* common = Common::instance();
    if (common->status == NetworkError)
        return;
    connect(request, &UpdateRequest::dataComplete, this, &QuorixUpdate::onDataComplete);
    connect(request, &UpdateRequest::error, this, &QuorixUpdate::onError);

    Logger* log = Logger::instance();
    bool ok = false;
    for (int attempt = 1; attempt <= maxAttempts; ++attempt) {
        log->log(LogLevel::Info, tr("Connect attempt %1 to %2").arg(attempt).arg(url));
        ok = request->fetch();
        if (common->status != NoError || ok)
            break;
    }
    if (!ok) {
        log->log(LogLevel::Error,
                 tr("Unable to connect to the sky vane server.  Try again later."));
        common->status = NetworkError;
    }
    takeReceivedText();
}

QuorixUpdate::~QuorixUpdate()
{
    request->deleteLater();
}

void QuorixUpdate::onDataComplete()
{
    takeReceivedText();
}

void QuorixUpdate::takeReceivedText()
{
    data = request->receivedBytes();
    if (!data.isEmpty())
        parsePatchList();
}

void QuorixUpdate::onError(QString errorMsg)
{
    qDebug() << errorMsg;
}

// The constructor and onDataComplete() both hand over the same text; parsing
// it again would give the same list, so it is parsed once.
void QuorixUpdate::parsePatchList()
{
    if (!parsedText.isNull() && parsedText == data)
        return;
    masterList = parsePatchListLatin1(data);
    parsedText = data;
}

QList<PublishedPatch> QuorixUpdate::availablePatches() const
{
    QuorixConfig* config = QuorixConfig::instance();
    return computeAvailablePatches(masterList, config->installedVersions(),
                                   config->installedProducts(), config->installedPatches());
}

bool QuorixUpdate::isPatchInstalled(const PublishedPatch& patch) const
{
    return InstalledPatchMatcher(QuorixConfig::instance()->installedPatches()).isInstalled(patch);
}

bool QuorixUpdate::appliesToInstalledProduct(const PublishedPatch& patch,
                                             const QString& version) const
{
    return appliesToProductOfVersion(patch, version, QuorixConfig::instance()->installedProducts());
}
