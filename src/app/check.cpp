#include "check.h"

#include "commandline.h"
#include "core/common.h"
#include "products/quorixconfig.h"
#include "update/quorixupdate.h"

#include <QFileInfo>
#include <QSysInfo>

CheckRequest checkRequestOfRun(const RunOptions& options, int graceDays,
                               const InstalledSoftware& software)
{
    const Common* common = Common::instance();
    const QString machine = options.exports.isEmpty()
                                ? QSysInfo::machineHostName()
                                : QFileInfo(options.exports.first()).completeBaseName();
    return {machine, common->patchListUrl, common->retrievalBudgetSeconds, graceDays, &software};
}

CheckResult runCheck(const CheckRequest& request, RetrievalHost& host, const QDateTime& now)
{
    Q_ASSERT(request.software);
    const QuorixUpdate update(request.listUrl, host, request.software->versions,
                              request.budgetSeconds);
    return makeCheckResult(update, *request.software, request.machine, request.graceDays, now);
}
