#include "check.h"

#include "commandline.h"
#include "core/common.h"
#include "products/quorixconfig.h"
#include "runretrieval.h"
#include "update/quorixupdate.h"

#include <QFileInfo>
#include <QSysInfo>

CheckRequest checkRequestOfRun(const RunOptions& options, int graceDays,
                               const InstalledSoftware& software, const QDateTime& now,
                               const Common& settings)
{
    const QString machine = options.exports.isEmpty()
                                ? QSysInfo::machineHostName()
                                : QFileInfo(options.exports.first()).completeBaseName();
    return {machine, settings.patchListUrl, settings.retrievalBudgetSeconds, graceDays, &software,
            now};
}

CheckResult runCheck(const CheckRequest& request, RunRetrievalHost& host)
{
    Q_ASSERT(request.software);
    const QuorixUpdate update = QuorixUpdate::retrieve(
        request.listUrl, host, request.software->versions, request.budgetSeconds);
    return makeCheckResult(update, *request.software, request.machine, request.graceDays,
                           request.now, host.runStatus());
}
