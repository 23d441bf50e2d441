#pragma once

#include "report/checkresult.h"
#include "update/listcache.h"

#include <QDateTime>
#include <QString>

class Common;
class RunRetrievalHost;
struct InstalledSoftware;
struct RunOptions;

// What one check of the discovered machine compares, and against which list.
struct CheckRequest
{
    QString machine; // the computer's name, or the export's with /r
    QString listUrl;
    int budgetSeconds = 0; // for the whole retrieval; 0: no bound
    VerdictRules rules;
    const InstalledSoftware* software = nullptr; // discovered once at start-up
    QDateTime now;                               // ages count from it; taken once at start-up
    std::optional<ExportFacts> exported;         // of the registry export the machine was read from
    std::optional<ListCacheUse> cache;           // where the list is kept between runs, if it is
};

// The cache of the list that this run's settings ask for, if any.
std::optional<ListCacheUse> listCacheOfRun(const Common& settings, const QDateTime& now);

// The check this run's switches and settings ask for, of the given software.
CheckRequest checkRequestOfRun(const RunOptions& options, const VerdictRules& rules,
                               const InstalledSoftware& software, const QDateTime& now,
                               const Common& settings);

// Fetches the list and compares the discovered machine with it, as of the
// request's moment; the result carries the run's status after the retrieval.
CheckResult runCheck(const CheckRequest& request, RunRetrievalHost& host);
