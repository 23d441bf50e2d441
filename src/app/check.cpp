#include "check.h"

#include "commandline.h"
#include "core/common.h"
#include "products/quorixconfig.h"
#include "update/quorixupdate.h"

#include <QFileInfo>
#include <QSysInfo>

CheckRequest checkRequestOfRun(int graceDays)
{
    const Common* common = Common::instance();
    QString exportFile;
    const QString machine = switchValue(QStringLiteral("R"), exportFile)
                                ? QFileInfo(exportFile).completeBaseName()
                                : QSysInfo::machineHostName();
    return {machine, common->patchListUrl, common->retrievalBudgetSeconds, graceDays};
}

CheckResult runCheck(const CheckRequest& request, RetrievalHost& host, const QDateTime& now)
{
    const QuorixConfig* discovered = QuorixConfig::instance();
    const QuorixUpdate update(request.listUrl, host, discovered->installedVersions(),
                              request.budgetSeconds);
    return makeCheckResult(update, discovered->installedSoftware(), request.machine,
                           request.graceDays, now);
}
