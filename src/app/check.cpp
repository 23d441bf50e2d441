#include "check.h"

#include "commandline.h"
#include "core/cachefolder.h"
#include "core/common.h"
#include "products/quorixconfig.h"
#include "runretrieval.h"
#include "update/quorixupdate.h"

#include <QFileInfo>
#include <QSysInfo>

CheckRequest checkRequestOfRun(const RunOptions& options, const VerdictRules& rules,
                               const InstalledSoftware& software, const QDateTime& now,
                               const Common& settings)
{
    const QString machine = options.exports.isEmpty()
                                ? QSysInfo::machineHostName()
                                : QFileInfo(options.exports.first()).completeBaseName();
    return {machine, settings.patchListUrl, settings.retrievalBudgetSeconds, rules, &software,
            now,     std::nullopt,          listCacheOfRun(settings, now)};
}

std::optional<ListCacheUse> listCacheOfRun(const Common& settings, const QDateTime& now)
{
    if (settings.listCacheHours <= 0)
        return std::nullopt;
    return ListCacheUse{listCacheFolder(), qint64(settings.listCacheHours) * 3600, now};
}

CheckResult runCheck(const CheckRequest& request, RunRetrievalHost& host)
{
    Q_ASSERT(request.software);
    const QuorixUpdate update =
        QuorixUpdate::retrieve(request.listUrl, host, request.software->versions,
                               request.budgetSeconds, request.cache ? &*request.cache : nullptr);
    CheckResult result = makeCheckResult(update, *request.software, request.machine, request.rules,
                                         request.now, host.runStatus());
    result.exported = request.exported;
    if (result.listFailure.isEmpty())
        result.listFailure = host.networkRefusal();
    return result;
}
