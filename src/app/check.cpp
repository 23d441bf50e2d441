#include "check.h"

#include "commandline.h"
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
            now,     std::nullopt};
}

CheckResult runCheck(const CheckRequest& request, RunRetrievalHost& host)
{
    Q_ASSERT(request.software);
    const QuorixUpdate update = QuorixUpdate::retrieve(
        request.listUrl, host, request.software->versions, request.budgetSeconds);
    CheckResult result = makeCheckResult(update, *request.software, request.machine, request.rules,
                                         request.now, host.runStatus());
    result.exported = request.exported;
    return result;
}
